// A message window that remembers what it was asked to show, and how.
#pragma once

#include <string>
#include <vector>

#include "func/messages.h"

namespace qirt::testing {

class RecordingMessages : public TMessageWindow {
public:
    struct Shown {
        std::string Text;
        ShowKind How;
        bool operator==(const Shown&) const = default;
    };
    void SetMessage(const std::string& text) override { text_ = text; }
    void ShowModal() override { shown.push_back({text_, ShowKind::Modal}); }
    void ShowNonModal() override { shown.push_back({text_, ShowKind::NonModal}); }

    std::vector<Shown> shown;

private:
    std::string text_;
};

} // namespace qirt::testing
