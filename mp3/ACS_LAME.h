// The MP3 file sink: pulls 16-bit PCM blocks from its input, encodes them with the LAME encoder
// at a constant bit rate into a two-channel stream at the input's sample rate, and writes the
// stream to FileName.
//
// A run: Prepare (owning thread, inside Run) refuses input of other than 16-bit samples, starts
// the input, sets up the encoder and only then creates the file, so that a start that fails
// leaves an existing file untouched; DoOutput (worker) reads one 16384-byte block with its
// format, encodes it and writes the result; Done (worker) hands over the ID3 fields, flushes the
// encoder, writes the last bytes, closes the file and the encoder and flushes the input. A failed
// write, an encoder failure or a failing step of Done ends the run through OnThreadException,
// with the file closed.
//
// Threads: construction, destruction, Run and the BitRate setter on the owning thread; the ID3
// setters and getters on any thread (Done reads them on the worker). DoOutput may block in the
// input's GetData and in file writes.
#pragma once

#include "ACS_FileOut.h"

#include <cstdint>
#include <lame/lame.h>
#include <memory>
#include <mutex>
#include <string>

enum TMP3BitRate : uint8_t {
    br8,
    br16,
    br24,
    br32,
    br40,
    br48,
    br56,
    br64,
    br80,
    br96,
    br112,
    br128,
    br144,
    br160,
    br192,
    br224,
    br256,
    br320
};

// kbit/s of a TMP3BitRate; raises EACSException for a value outside the 18.
int MP3BitRateKbps(TMP3BitRate Value);

class TMP3Out : public TACSFileOut {
public:
    // Opens the encoder library (once for all sinks); raises "lame_enc.dll library could not be
    // loaded." when it cannot, and no sink exists then.
    explicit TMP3Out(TComponent* AOwner);
    // Ends the worker; a run still in progress is abandoned without Done: its file, encoder and
    // buffer are released and its input flushed. The last sink releases the library.
    ~TMP3Out() override;

    static constexpr int32_t BlockSize = 16384;
    // The encoder's worst case for one block: 1.25 * 8192 samples + 7200 bytes.
    static constexpr int OutputBufferSize = 17440;

    // Read by Prepare. Owning thread.
    TMP3BitRate GetBitRate() const { return FBitRate; }
    void SetBitRate(TMP3BitRate Value) { FBitRate = Value; }

    // Read by Done, so a change during a run reaches that run's file. Any thread.
    std::string GetId3TagTitle() const;
    void SetId3TagTitle(const std::string& Value);
    std::string GetId3TagArtist() const;
    void SetId3TagArtist(const std::string& Value);
    std::string GetId3TagAlbum() const;
    void SetId3TagAlbum(const std::string& Value);
    std::string GetId3TagYear() const;
    void SetId3TagYear(const std::string& Value);
    std::string GetId3TagTrack() const;
    void SetId3TagTrack(const std::string& Value);
    std::string GetId3TagComment() const;
    void SetId3TagComment(const std::string& Value);

protected:
    bool DoOutput(bool Abort) override;
    void Done() override;
    void Prepare() override;

private:
    struct TId3Fields {
        std::string Title, Artist, Album, Year, Track, Comment;
    };

    void SetUpEncoder(TACSInput& In);
    int EncodeBlock(int32_t Count, int32_t Channels);
    void HandTagsToEncoder();
    void WriteEncoderTail();
    // Closes the encoder and frees the output buffer; nothing when there is none.
    void ReleaseEncoder() noexcept;
    // Releases everything a run holds without finishing its file, and flushes the input when
    // InputStarted is set; reports nothing.
    void AbandonRun(bool InputStarted) noexcept;
    TId3Fields Id3Fields() const;
    void SetId3Field(std::string TId3Fields::*Field, const std::string& Value);

    TMP3BitRate FBitRate = br128;
    mutable std::mutex FId3Lock;
    TId3Fields FId3;

    // The block buffer, reused for every block of every run; the worker's only.
    int16_t FBlock[BlockSize / 2] = {};
    lame_t FEncoder = nullptr;
    std::unique_ptr<unsigned char[]> FOutputBuffer;
    int FOutputBufferSize = 0;
    // Between a successful Prepare and the Done that finishes the run: Done's work is done once,
    // also when the failure handling calls Done again after a Done that raised.
    bool FRunOpen = false;
};
