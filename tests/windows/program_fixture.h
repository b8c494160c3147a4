// The program as it starts, for window tests: a session, the main window,
// the message window and the about window, in a folder of its own for
// funtion.txt.
#pragma once

#include <memory>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "methods/session.h"
#include "test_language.h"
#include "windows/about.h"
#include "windows/interf.h"
#include "windows/mesage.h"

namespace qirt::testing {

struct Program {
    Program() {
        QDir::setCurrent(dir.path());
        form1 = std::make_unique<TForm1>(S);
        form2 = std::make_unique<TForm2>(form1.get());
        about = std::make_unique<TAboutBox>(form1.get());
        S.Function.Messages = form2.get();
        S.Conditions.Messages = form2.get();
        form1->Messages = form2.get();
        form1->AboutBox = about.get();
        form1->Translations = &Translations();
        form1->show();
    }
    ~Program() {
        QDir::setCurrent(QDir::tempPath());
        Translations().Set(RunLanguage()); // a test may have switched
    }
    void Formula(const char* text, const char* start) {
        form1->ComboBox4->setEditText(QString::fromUtf8(text));
        form1->Edit2->setText(QString::fromUtf8(start));
    }
    QString History() const {
        QFile f(dir.filePath("funtion.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    QTemporaryDir dir;
    TSession S;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TAboutBox> about;
};

} // namespace qirt::testing
