#include "WaveDevice.h"

uint32_t PlatformFormatBit(uint32_t SamplesPerSec, uint16_t Channels, uint16_t BitsPerSample)
{
    uint32_t RateShift;
    switch (SamplesPerSec) {
    case 11025:
        RateShift = 0;
        break;
    case 22050:
        RateShift = 4;
        break;
    case 44100:
        RateShift = 8;
        break;
    default:
        return 0;
    }
    if ((Channels != 1 && Channels != 2) || (BitsPerSample != 8 && BitsPerSample != 16))
        return 0;
    // Within a rate the platform orders mono 8, stereo 8, mono 16, stereo 16.
    const uint32_t Index = (BitsPerSample == 16 ? 2u : 0u) + (Channels == 2 ? 1u : 0u);
    return 1u << (RateShift + Index);
}

void TWaveInDevice::Prepare(TWaveHeader& Header)
{
    if (Header.Data == nullptr || Header.BufferLength == 0)
        throw EWaveDeviceError("Cannot prepare a wave header without a data block");
    Header.Flags = (Header.Flags & ~wbDone) | wbPrepared;
}

void TWaveInDevice::Stop()
{
    throw EWaveDeviceError("The device cannot stop without returning its buffers");
}

void TWaveInDevice::Unprepare(TWaveHeader& Header)
{
    if (Header.Flags & wbInQueue)
        throw EWaveDeviceError("Cannot unprepare a wave header that the device still holds");
    Header.Flags &= ~wbPrepared;
}

void CheckAddBuffer(const TWaveHeader& Header)
{
    if (!(Header.Flags & wbPrepared))
        throw EWaveDeviceError("Cannot queue a wave header that is not prepared");
    if (Header.Flags & wbInQueue)
        throw EWaveDeviceError("Cannot queue a wave header twice");
}

void MarkQueued(TWaveHeader& Header)
{
    Header.BytesRecorded = 0;
    Header.Next = nullptr;
    Header.Flags = (Header.Flags & ~wbDone) | wbInQueue;
}

void MarkDone(TWaveHeader& Header)
{
    Header.Flags = (Header.Flags & ~wbInQueue) | wbDone;
}
