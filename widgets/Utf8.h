// The one helper for stepping through UTF-8 text, which the widgets' captions and canvases hold.
//
// Plain functions; any thread.
#pragma once

#include <cstddef>

// The length in bytes of the UTF-8 sequence that starts with Lead: 1 for ASCII and for a stray
// continuation byte, so that a walk through malformed text still moves on.
constexpr std::size_t Utf8SequenceLength(unsigned char Lead)
{
    if (Lead >= 0xF0)
        return 4;
    if (Lead >= 0xE0)
        return 3;
    if (Lead >= 0xC0)
        return 2;
    return 1;
}
