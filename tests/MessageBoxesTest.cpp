#include <gtest/gtest.h>

#include <vector>

#include "core/Messages.h"
#include "core/Texts.h"

using namespace dorvel;
using Icon = core::MessageBoxes::Icon;

namespace {

struct Box {
    Icon icon;
    std::string title;
    std::string text;
    bool operator==(const Box&) const = default;
};

// Writes down each box it is asked to show.
class RecordingBoxes final : public core::MessageBoxes {
public:
    using core::MessageBoxes::MessageBoxes;
    std::vector<Box> shown;

private:
    void show(Icon icon, const std::string& title, const std::string& text) override {
        shown.push_back({icon, title, text});
    }
};

}  // namespace

TEST(MessageBoxes, TheProgramsOwnChecksAreAnErrorOrAnInformation) {
    RecordingBoxes boxes("Dorvel");
    boxes.error(core::texts::kSetMailVariable);
    boxes.information(core::texts::kChooseFileToSend);
    EXPECT_EQ(
        boxes.shown,
        (std::vector<Box>{{Icon::Stop, "Error", core::texts::kSetMailVariable},
                          {Icon::Information, "Information", core::texts::kChooseFileToSend}}));
}

TEST(MessageBoxes, APlatformFailureIsTitledWithTheProgramAndGetsItsFullStop) {
    RecordingBoxes boxes("Dorvel");
    boxes.platformError("Unable to write to .\\dorvel.ini");
    boxes.platformError("done.");
    EXPECT_EQ(boxes.shown,
              (std::vector<Box>{{Icon::Stop, "Dorvel", "Unable to write to .\\dorvel.ini."},
                                {Icon::Stop, "Dorvel", "done."}}));
}
