#include "MainWindow.h"

#include <iterator>

namespace {

// In the order of TControl.
constexpr const char* ControlNames[] = {
    "BackG",
    "RecB",
    "PauseB",
    "StopB",
    "MinB",
    "CloseB",
    "Bevel1",
    "Bevel2",
    "Bevel4",
    "Label1",
    "Label2",
    "Label3",
    "Label4",
    "Label5",
    "Label8",
    "Label11",
    "Label12",
    "Label13",
    "Label14",
    "LabDev",
    "Progres",
    "Indicator",
    "DirOut",
    "SaveAs",
    "SecNoLimit",
    "SecCustom",
    "Secs",
    "KBS",
    "SRate",
    "State",
};
static_assert(std::size(ControlNames) == ControlCount);

} // namespace

const char* ControlName(TControl Control)
{
    return ControlNames[static_cast<int>(Control)];
}

std::runtime_error PictureReadError(const std::string& FileName, const std::string& Reason)
{
    return std::runtime_error("Cannot read image file " + FileName + ": " + Reason);
}
