// Run-time binding of the LAME encoder library.
//
// The library is opened when the first MP3 sink is constructed, and its 112 entry points are
// looked up by name into the function pointers below, each typed after the public header's
// function of the same name. An entry point that the library lacks stays null; callers check it
// with RequireEntryPoint before they call it.
//
// Threads: LoadEncoderLibrary and UnloadEncoderLibrary run on the thread that constructs and
// destroys sinks (the owning thread); neither blocks beyond the system's library loader. The
// pointers are written there before any run starts and only read afterwards, from the owning
// thread and the sinks' worker threads. The library must not be unloaded while a worker may
// still be inside an encoder call.
#pragma once

#include <lame/lame.h>
#include <string>

// The public header keeps these eleven entry points only in a disabled branch for obsolete code;
// the library still exports them. Declared here exactly as that branch gives them, so that their
// pointers are typed like all others. Nothing links against them.
extern "C" {
int CDECL lame_set_ogg(lame_global_flags*, int);
int CDECL lame_get_ogg(const lame_global_flags*);
int CDECL lame_set_mode_automs(lame_global_flags*, int);
int CDECL lame_get_mode_automs(const lame_global_flags*);
int CDECL lame_set_padding_type(lame_global_flags*, Padding_type);
Padding_type CDECL lame_get_padding_type(const lame_global_flags*);
int CDECL lame_decode_init(void);
int CDECL lame_decode(unsigned char* mp3buf, int len, short pcm_l[], short pcm_r[]);
int CDECL lame_decode_headers(
    unsigned char* mp3buf, int len, short pcm_l[], short pcm_r[], mp3data_struct* mp3data);
int CDECL lame_decode1(unsigned char* mp3buf, int len, short pcm_l[], short pcm_r[]);
int CDECL lame_decode1_headers(
    unsigned char* mp3buf, int len, short pcm_l[], short pcm_r[], mp3data_struct* mp3data);
}

// The entry points in their lookup order.
// clang-format off
#define CORVATONE_LAME_ENTRY_POINTS(X)                                                            \
    /* creation and stream parameters */                                                         \
    X(lame_init) X(lame_set_num_samples) X(lame_get_num_samples) X(lame_set_in_samplerate)        \
    X(lame_get_in_samplerate) X(lame_set_num_channels) X(lame_get_num_channels) X(lame_set_scale)  \
    X(lame_get_scale) X(lame_set_scale_left) X(lame_get_scale_left) X(lame_set_scale_right)       \
    X(lame_get_scale_right) X(lame_set_out_samplerate) X(lame_get_out_samplerate)                  \
    /* general control */                                                                        \
    X(lame_set_analysis) X(lame_get_analysis) X(lame_set_bWriteVbrTag) X(lame_get_bWriteVbrTag)   \
    X(lame_set_decode_only) X(lame_get_decode_only) X(lame_set_ogg) X(lame_get_ogg)               \
    X(lame_set_quality) X(lame_get_quality) X(lame_set_mode) X(lame_get_mode)                     \
    X(lame_set_mode_automs) X(lame_get_mode_automs) X(lame_set_force_ms) X(lame_get_force_ms)     \
    X(lame_set_free_format) X(lame_get_free_format)                                              \
    /* bit rate and presets */                                                                   \
    X(lame_set_brate) X(lame_get_brate) X(lame_set_compression_ratio)                             \
    X(lame_get_compression_ratio) X(lame_set_preset) X(lame_set_asm_optimizations)                \
    /* frame header flags */                                                                     \
    X(lame_set_copyright) X(lame_get_copyright) X(lame_set_original) X(lame_get_original)         \
    X(lame_set_error_protection) X(lame_get_error_protection) X(lame_set_padding_type)            \
    X(lame_get_padding_type) X(lame_set_extension) X(lame_get_extension) X(lame_set_strict_ISO)   \
    X(lame_get_strict_ISO)                                                                       \
    /* variable bit rate */                                                                      \
    X(lame_set_VBR) X(lame_get_VBR) X(lame_set_VBR_q) X(lame_get_VBR_q)                           \
    X(lame_set_VBR_mean_bitrate_kbps) X(lame_get_VBR_mean_bitrate_kbps)                           \
    X(lame_set_VBR_min_bitrate_kbps) X(lame_get_VBR_min_bitrate_kbps)                             \
    X(lame_set_VBR_max_bitrate_kbps) X(lame_get_VBR_max_bitrate_kbps) X(lame_set_VBR_hard_min)    \
    X(lame_get_VBR_hard_min)                                                                     \
    /* filters */                                                                                \
    X(lame_set_lowpassfreq) X(lame_get_lowpassfreq) X(lame_set_lowpasswidth)                      \
    X(lame_get_lowpasswidth) X(lame_set_highpassfreq) X(lame_get_highpassfreq)                    \
    X(lame_set_highpasswidth) X(lame_get_highpasswidth)                                           \
    /* read-only information */                                                                  \
    X(lame_get_version) X(lame_get_encoder_delay) X(lame_get_encoder_padding)                     \
    X(lame_get_framesize) X(lame_get_mf_samples_to_encode) X(lame_get_size_mp3buffer)             \
    X(lame_get_frameNum) X(lame_get_totalframes)                                                  \
    /* parameter check */                                                                        \
    X(lame_init_params)                                                                          \
    /* version texts */                                                                          \
    X(get_lame_version) X(get_lame_short_version) X(get_lame_very_short_version)                  \
    X(get_psy_version) X(get_lame_url) X(get_lame_version_numerical)                              \
    /* encoding */                                                                               \
    X(lame_encode_buffer) X(lame_encode_buffer_interleaved) X(lame_encode_buffer_float)           \
    X(lame_encode_flush) X(lame_encode_flush_nogap) X(lame_init_bitstream) X(lame_close)          \
    /* decoding */                                                                               \
    X(lame_decode_init) X(lame_decode) X(lame_decode_headers) X(lame_decode1)                     \
    X(lame_decode1_headers)                                                                      \
    /* ID3 tags */                                                                               \
    X(id3tag_genre_list) X(id3tag_init) X(id3tag_add_v2) X(id3tag_v1_only) X(id3tag_v2_only)     \
    X(id3tag_space_v1) X(id3tag_pad_v2) X(id3tag_set_title) X(id3tag_set_artist)                  \
    X(id3tag_set_album) X(id3tag_set_year) X(id3tag_set_comment) X(id3tag_set_track)              \
    X(id3tag_set_genre)
// clang-format on

namespace lame {

// Opens the library and looks up every entry point, unless it is already open. A library that
// cannot be opened leaves EncoderLibraryLoaded() false and EncoderLibraryHandle() null.
void LoadEncoderLibrary();
// Marks the library as not loaded and releases it. The handle and the pointers keep their
// (now stale) values.
void UnloadEncoderLibrary();
bool EncoderLibraryLoaded();
// The module handle of the library; null when the last attempt to open it failed.
void* EncoderLibraryHandle();

// Number of entry points looked up by each LoadEncoderLibrary that opens the library.
inline constexpr int EntryPointCount = 0
#define CORVATONE_LAME_COUNT(Name) +1
    CORVATONE_LAME_ENTRY_POINTS(CORVATONE_LAME_COUNT);
#undef CORVATONE_LAME_COUNT

// One pointer per entry point, named after it; null until looked up, or when the library lacks it.
#define CORVATONE_LAME_DECLARE(Name) extern decltype(&::Name) Name;
CORVATONE_LAME_ENTRY_POINTS(CORVATONE_LAME_DECLARE)
#undef CORVATONE_LAME_DECLARE

void RaiseMissingEntryPoint(const char* Name);

// Returns Pointer, or raises EACSException naming the entry point when the library lacks it.
template <typename TFunction> TFunction RequireEntryPoint(TFunction Pointer, const char* Name)
{
    if (!Pointer)
        RaiseMissingEntryPoint(Name);
    return Pointer;
}

// Tests only: the library file that the next opening uses. The program never calls it; the file
// name of the platform's encoder library is fixed.
void SetEncoderLibraryFileNameForTests(const std::string& FileName);

} // namespace lame
