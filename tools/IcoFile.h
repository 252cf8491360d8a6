// The Windows icon file format (.ico): a directory of pictures of several sizes in one file, as
// resource compilers take it for an executable's icon. Sizes below 256 pixels are stored as
// 32-bit device-independent bitmaps with their transparency mask, which every Windows version
// reads; the 256-pixel picture as PNG, the only form Windows takes at that size.
//
// Build-time helper; any thread.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace IcoFile {

// The file's bytes for Images, each square and 1..256 pixels wide, in the given order. Throws
// std::invalid_argument for an empty list or an image of another shape or size.
QByteArray Encode(const std::vector<QImage>& Images);

} // namespace IcoFile
