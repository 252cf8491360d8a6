// The room a recording needs on disk, and the room its file system has.
//
// A constant-bit-rate MP3 stream takes bit rate x duration / 8 bytes, so a recording's file size
// is known before it starts. The file takes a little more (Mp3FileMargin): the last capture
// buffer, which a run delivers whole past its duration; the encoder's start-up delay and the
// padding of the last frame, which its flush writes as extra frames; the tag; and the rounding of
// the file up to the file system's allocation unit.
//
// Any thread; FreeBytesFor may block briefly on the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Bytes an unprivileged user may still store on the file system that holds Utf8Path, or will
// hold it: for a file that does not exist yet, its nearest existing folder is asked. Nothing when
// the system cannot tell (no such drive, no permission to look).
std::optional<uint64_t> FreeBytesFor(const std::string& Utf8Path);

// Bytes of the regular file at Utf8Path, which a run that records to it truncates: room that the
// run frees before it writes. 0 when there is no such file or it cannot be looked at.
uint64_t ReplacedFileBytes(const std::string& Utf8Path);

// Bytes of Seconds of MP3 stream at KbitPerSecond, without frame or tag overhead.
uint64_t Mp3StreamBytes(int64_t Seconds, int32_t KbitPerSecond);

// What a recording's file takes beyond its stream, at KbitPerSecond and SampleRate (Hz): see
// above.
uint64_t Mp3FileMargin(int32_t KbitPerSecond, int32_t SampleRate);

// Mp3StreamBytes + Mp3FileMargin: the room a recording of Seconds needs.
uint64_t Mp3FileBytes(int64_t Seconds, int32_t KbitPerSecond, int32_t SampleRate);
