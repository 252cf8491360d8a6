// The skin: image files read by name from the Skin folder beside the executable. The window
// builds each path as AppPath + SkinFolder + a file name below; the skin generator writes the
// same names, and CMake reads this file for the list of files it draws and installs: keep one
// name per line, written as `= "Name.ext";`.
#pragma once

namespace SkinFiles {

inline constexpr const char* SkinFolder = "Skin/";

inline constexpr const char* Window = "Window.png";
inline constexpr const char* CloseB = "CloseB.png";
inline constexpr const char* CloseBOn = "CloseB_ON.png";
inline constexpr const char* MinB = "MinB.png";
inline constexpr const char* MinBOn = "MinB_ON.png";
inline constexpr const char* RecBut = "RecBut.bmp";
inline constexpr const char* RecButOn = "RecBut_ON.bmp";
inline constexpr const char* PauseBut = "PauseBut.bmp";
inline constexpr const char* PauseButOn = "PauseBut_ON.bmp";
inline constexpr const char* StopBut = "StopBut.bmp";
inline constexpr const char* StopButOn = "StopBut_ON.bmp";

} // namespace SkinFiles
