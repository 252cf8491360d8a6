// The form's components without a face: the pipeline AudIn -> SndIndic -> MP3Out, created by
// name with their stored settings, their Input links resolved by name.
//
// Creating them may fail: the capture source refuses device 0 when there is no wave-in device
// ("Channel 0 is not available") and the MP3 sink refuses without the encoder library
// ("lame_enc.dll library could not be loaded."). What was created before the failure is
// destroyed with Owner.
//
// Owning (GUI) thread only.
#pragma once

#include "ACS_Audio.h"
#include "ACS_Indicator.h"
#include "ACS_LAME.h"

#include <functional>

struct TFormComponents {
    TAudioIn* AudIn = nullptr;
    TSoundIndicator* SndIndic = nullptr;
    TMP3Out* MP3Out = nullptr;
};

// The window's handlers that the stored settings name; they are called on the sink's worker, and
// the thread-exception one also on the thread that calls Run, when the run cannot start.
struct TFormEvents {
    TOutputDoneEvent MP3OutDone;
    TOutputProgressEvent MP3OutProgress;
    TThreadExceptionEvent MP3OutThreadException;
};

// Creates the components in Owner (which destroys them, last created first) and links them.
TFormComponents CreateFormComponents(TComponent& Owner, const TFormEvents& Events);
