// A task: everything needed to run a problem again — the main window's
// fields, the method or the methods compared, the region with its
// strategy, and the view the graph window opens with — kept as a small
// versioned JSON file (extension .qirt, UTF-8). Methods, kinds, strategies
// and looks are written with the program's own keys (qirt-batch's -m
// names, exterior/interior, single/sequence/multipliers, dots/filled/
// lines/filled-lines), so a file reads the same in either language.
//
//   {
//     "format": "qirt-task", "version": 1,
//     "note": {"ru": "…", "en": "…"},            (optional; or one string)
//     "formula": "x[0]^2+x[1]^2",
//     "variables": "auto",                       ("auto" or 1 … 10)
//     "start": "3,4,0,0,0,0,0,0,0,0",
//     "variable_accuracy": "1e-7", "value_accuracy": "1e-7",
//     "step": "symbolic",                        (or a difference step)
//     "method": "fletcher-reeves",               (or "graph": map only)
//     "compare": ["dfp", "bfgs"],                (optional: a comparison)
//     "extended_plot": false,
//     "region": {"strategy": "single",
//                "conditions": [{"inequality": "x[0]+x[1]>=1",
//                                "coefficient": "1000", "power": "2",
//                                "kind": "exterior"}]},
//     "view": {"axes": ["x[0]", "x[1]"], "range": ["-2", "2", "-1", "3"],
//              "colours": "16", "style": "dots", "shade": false}
//   }
//
// Only "format", "version" and "formula" are required; a member left out
// takes the main window's default. Numbers are written as texts, exactly as
// the fields hold them (a range may also be given as JSON numbers). Members
// this version does not know are ignored.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

#include "func/conditions.h"
#include "graph/language/language.h"
#include "graph/map/map.h"
#include "methods/run.h"

namespace qirt {

inline constexpr int kTaskVersion = 1;
// The longest formula or inequality a task holds, in characters.
inline constexpr int kMaxTaskText = 65536;

struct TTaskCondition {
    std::string Inequality, Coefficient, Power;
    std::string Kind = kExteriorKind; // kExteriorKind or kInteriorKind
    bool operator==(const TTaskCondition&) const = default;
};

// The view the graph window opens with.
struct TTaskView {
    int AxisX = 0, AxisY = 1;
    // Without a range the view is the first view around the found point.
    bool HaveRange = false;
    TViewRange Range{};
    std::string Colours = "16";
    TMapLook Look;
    bool Shade = false;
    bool operator==(const TTaskView&) const = default;
};

struct TTask {
    TRunInputs Run;
    // The methods compared, as indices into kMethods; empty: Run's method alone.
    std::vector<int> Compare;
    // The region in force; empty: none.
    std::vector<TTaskCondition> Conditions;
    TTaskView View;
    // A line on what the task shows, by language code ("ru", "en").
    std::map<std::string, std::string> Notes;

    // The note in the language, else in the other one, else empty.
    std::string Note(TLanguage language) const;
};

// A marked text in the language wanted: the application's by default
// (qirt-batch, which has no application object, passes its translations).
using TTextOf = std::function<QString(const char* source)>;
QString DefaultText(const char* source);

// The task of a JSON text. False, with a message in the interface's
// language that names what is wrong (and the task untouched), when the text
// is damaged, of a newer version, or holds a value the windows would refuse.
bool ReadTask(const QByteArray& json, TTask& task, QString& error, const TTextOf& text = DefaultText);
// The same from a file (its name goes into the message).
bool LoadTask(const QString& fileName, TTask& task, QString& error, const TTextOf& text = DefaultText);
// The task as indented UTF-8 JSON.
QByteArray TaskJson(const TTask& task);
// Writes the task as every file of the program is written (beside the
// file, renamed over it; links followed): a failed save leaves the old file
// as it was. False, said why, when it fails or the task holds
// a value ReadTask would refuse.
bool SaveTask(const TTask& task, const QString& fileName, QString& error,
              const TTextOf& text = DefaultText);

} // namespace qirt
