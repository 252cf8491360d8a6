#include "ACS_LAME.h"

#include "lame.h"

#include <array>
#include <bit>
#include <exception>
#include <functional>

// The block buffer is handed to the encoder as native 16-bit samples, which are the input's
// little-endian samples only on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr std::array<int, 18> BitRateTable{ 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144,
    160, 192, 224, 256, 320 };

// Sinks that currently use the library: it stays open until the last of them is destroyed, so
// one sink going away does not unload the code another sink's worker is running. A sink whose
// worker did not answer is destroyed on a thread of its own (ComponentRelease.h), so the count
// and the loading are guarded; the lock is never destroyed, since such a thread may still end a
// sink while the process ends.
int SinksUsingLibrary = 0;

std::mutex& LibraryUseLock()
{
    static auto* Lock = new std::mutex;
    return *Lock;
}

// The entry points the sink calls; each is checked before a run starts.
// clang-format off
#define CORVATONE_MP3OUT_ENTRY_POINTS(X)                                                          \
    X(lame_init) X(lame_set_num_samples) X(lame_set_in_samplerate) X(lame_set_out_samplerate)     \
    X(lame_set_num_channels) X(lame_set_brate) X(lame_init_params)                                \
    X(lame_encode_buffer_interleaved) X(lame_encode_buffer) X(lame_encode_flush) X(lame_close)    \
    X(id3tag_init) X(id3tag_set_title) X(id3tag_set_artist) X(id3tag_set_album)                   \
    X(id3tag_set_year) X(id3tag_set_track) X(id3tag_set_comment)
// clang-format on

void RequireSinkEntryPoints()
{
    if (!lame::EncoderLibraryLoaded())
        throw EACSException("lame_enc.dll library could not be loaded.");
#define CORVATONE_REQUIRE(Name) lame::RequireEntryPoint(lame::Name, #Name);
    CORVATONE_MP3OUT_ENTRY_POINTS(CORVATONE_REQUIRE)
#undef CORVATONE_REQUIRE
}

// Runs the steps of an ending that must all happen, keeping the first failure to raise at the end.
class TFirstFailure {
public:
    void Try(const std::function<void()>& Step)
    {
        try {
            Step();
        } catch (...) {
            if (!FFailure)
                FFailure = std::current_exception();
        }
    }
    void RethrowIfAny()
    {
        if (FFailure)
            std::rethrow_exception(FFailure);
    }

private:
    std::exception_ptr FFailure;
};

// The block is handed to the encoder as 16-bit samples; any other size would be encoded as noise.
void RequireSixteenBitSamples(int32_t BitsPerSample)
{
    if (BitsPerSample != 16)
        throw EACSException("The MP3 encoder takes 16-bit samples; the input delivers "
            + std::to_string(BitsPerSample) + "-bit samples.");
}

} // namespace

int MP3BitRateKbps(TMP3BitRate Value)
{
    if (Value >= BitRateTable.size())
        throw EACSException("Bit rate " + std::to_string(Value) + " is not one of the 18 rates.");
    return BitRateTable[Value];
}

// ---------------------------------------------------------------------------------------------
// Construction

TMP3Out::TMP3Out(TComponent* AOwner)
    : TACSFileOut(AOwner)
{
    std::lock_guard Lock(LibraryUseLock());
    lame::LoadEncoderLibrary();
    if (!lame::EncoderLibraryLoaded())
        throw EACSException("lame_enc.dll library could not be loaded.");
    ++SinksUsingLibrary;
}

TMP3Out::~TMP3Out()
{
    TerminateWorker();
    if (FRunOpen) {
        FRunOpen = false;
        AbandonRun(true);
    }
    std::lock_guard Lock(LibraryUseLock());
    if (--SinksUsingLibrary == 0)
        lame::UnloadEncoderLibrary();
}

// ---------------------------------------------------------------------------------------------
// ID3 fields

TMP3Out::TId3Fields TMP3Out::Id3Fields() const
{
    std::lock_guard Lock(FId3Lock);
    return FId3;
}

void TMP3Out::SetId3Field(std::string TId3Fields::*Field, const std::string& Value)
{
    std::lock_guard Lock(FId3Lock);
    FId3.*Field = Value;
}

std::string TMP3Out::GetId3TagTitle() const
{
    return Id3Fields().Title;
}
void TMP3Out::SetId3TagTitle(const std::string& Value)
{
    SetId3Field(&TId3Fields::Title, Value);
}
std::string TMP3Out::GetId3TagArtist() const
{
    return Id3Fields().Artist;
}
void TMP3Out::SetId3TagArtist(const std::string& Value)
{
    SetId3Field(&TId3Fields::Artist, Value);
}
std::string TMP3Out::GetId3TagAlbum() const
{
    return Id3Fields().Album;
}
void TMP3Out::SetId3TagAlbum(const std::string& Value)
{
    SetId3Field(&TId3Fields::Album, Value);
}
std::string TMP3Out::GetId3TagYear() const
{
    return Id3Fields().Year;
}
void TMP3Out::SetId3TagYear(const std::string& Value)
{
    SetId3Field(&TId3Fields::Year, Value);
}
std::string TMP3Out::GetId3TagTrack() const
{
    return Id3Fields().Track;
}
void TMP3Out::SetId3TagTrack(const std::string& Value)
{
    SetId3Field(&TId3Fields::Track, Value);
}
std::string TMP3Out::GetId3TagComment() const
{
    return Id3Fields().Comment;
}
void TMP3Out::SetId3TagComment(const std::string& Value)
{
    SetId3Field(&TId3Fields::Comment, Value);
}

// ---------------------------------------------------------------------------------------------
// Start of a run

void TMP3Out::Prepare()
{
    if (!StreamAssigned && FileName.empty())
        throw EACSException("File name is not assigned.");
    RequireSinkEntryPoints();
    TACSInput* In = GetInput();
    if (!In)
        throw EACSException("Input is not assigned");
    RequireSixteenBitSamples(In->GetBitsPerSample());
    bool InputStarted = false;
    try {
        In->Init();
        InputStarted = true;
        SetUpEncoder(*In);
        FOutputBuffer = std::make_unique<unsigned char[]>(OutputBufferSize);
        FOutputBufferSize = OutputBufferSize;
        // The file is created (an existing one truncated) only once everything else has started,
        // so that a start that fails leaves a file of that name as it was.
        if (!StreamAssigned)
            AdoptStream(std::make_unique<TFileStream>(FileName));
    } catch (...) {
        AbandonRun(InputStarted);
        throw;
    }
    FRunOpen = true;
}

void TMP3Out::SetUpEncoder(TACSInput& In)
{
    FEncoder = lame::lame_init();
    if (!FEncoder)
        throw EACSException("The MP3 encoder could not be created (lame_init gave no handle).");
    const int32_t InSize = In.Size;
    const int32_t FrameBytes = (In.GetBitsPerSample() / 8) * In.GetChannels();
    // The length is only the encoder's hint; a format without whole bytes per frame gives none.
    if (InSize > 0 && FrameBytes > 0)
        lame::lame_set_num_samples(FEncoder, static_cast<unsigned long>(InSize / FrameBytes));
    const int SampleRate = In.GetSampleRate();
    const int Kbps = MP3BitRateKbps(FBitRate);
    lame::lame_set_in_samplerate(FEncoder, SampleRate);
    // Left to itself the encoder resamples at low bit rates (44100 Hz at 40 kbit/s to 16000 Hz);
    // the file keeps the rate that the input records at.
    lame::lame_set_out_samplerate(FEncoder, SampleRate);
    lame::lame_set_num_channels(FEncoder, 2);
    lame::lame_set_brate(FEncoder, Kbps);
    if (lame::lame_init_params(FEncoder) < 0)
        throw EACSException("The MP3 encoder refused its settings: " + std::to_string(SampleRate)
            + " Hz, " + std::to_string(Kbps) + " kbit/s, 2 channels.");
}

// ---------------------------------------------------------------------------------------------
// One block

bool TMP3Out::DoOutput(bool Abort)
{
    if (!CanOutput)
        return true;
    ReportProgress();
    if (Abort)
        return false;
    TInputFormat Format;
    const int32_t Count = ReadInput(FBlock, BlockSize, &Format);
    if (Count == 0)
        return false;
    if (Count < 0 || Count > BlockSize)
        throw EACSException("The input delivered " + std::to_string(Count)
            + " bytes for a block of " + std::to_string(BlockSize) + ".");
    // An input exchanged during the run may deliver another format than the one checked at the
    // start.
    RequireSixteenBitSamples(Format.BitsPerSample);
    const int Encoded = EncodeBlock(Count, Format.Channels);
    if (Encoded < 0)
        throw EACSException(
            "The MP3 encoder failed on a block (error " + std::to_string(Encoded) + ").");
    Stream->Write(FOutputBuffer.get(), static_cast<std::size_t>(Encoded));
    return true;
}

int TMP3Out::EncodeBlock(int32_t Count, int32_t Channels)
{
    // Bytes after the last whole frame (stereo) or sample (any other layout) are dropped.
    if (Channels == 2)
        return lame::lame_encode_buffer_interleaved(
            FEncoder, FBlock, Count / 4, FOutputBuffer.get(), FOutputBufferSize);
    return lame::lame_encode_buffer(
        FEncoder, FBlock, FBlock, Count / 2, FOutputBuffer.get(), FOutputBufferSize);
}

// ---------------------------------------------------------------------------------------------
// End of a run

void TMP3Out::Done()
{
    if (!FRunOpen)
        return;
    FRunOpen = false;
    TFirstFailure Failure;
    Failure.Try([this] { HandTagsToEncoder(); });
    Failure.Try([this] { WriteEncoderTail(); });
    Failure.Try([this] { CloseOwnStream(); });
    ReleaseEncoder();
    Failure.Try([this] { FlushInput(); });
    Failure.RethrowIfAny();
}

void TMP3Out::HandTagsToEncoder()
{
    const TId3Fields Fields = Id3Fields();
    lame::id3tag_init(FEncoder);
    lame::id3tag_set_title(FEncoder, Fields.Title.c_str());
    lame::id3tag_set_artist(FEncoder, Fields.Artist.c_str());
    lame::id3tag_set_album(FEncoder, Fields.Album.c_str());
    lame::id3tag_set_year(FEncoder, Fields.Year.c_str());
    lame::id3tag_set_track(FEncoder, Fields.Track.c_str());
    lame::id3tag_set_comment(FEncoder, Fields.Comment.c_str());
}

void TMP3Out::WriteEncoderTail()
{
    const int Flushed = lame::lame_encode_flush(FEncoder, FOutputBuffer.get(), FOutputBufferSize);
    if (Flushed < 0)
        throw EACSException("The MP3 encoder failed to flush its last frames (error "
            + std::to_string(Flushed) + ").");
    Stream->Write(FOutputBuffer.get(), static_cast<std::size_t>(Flushed));
}

void TMP3Out::ReleaseEncoder() noexcept
{
    if (FEncoder)
        lame::lame_close(FEncoder);
    FEncoder = nullptr;
    FOutputBuffer.reset();
    FOutputBufferSize = 0;
}

void TMP3Out::AbandonRun(bool InputStarted) noexcept
{
    ReleaseEncoder();
    DiscardOwnStream();
    if (!InputStarted)
        return;
    try {
        FlushInput();
    } catch (...) {
        // The run is being abandoned because of another failure, which is the one reported.
    }
}
