#include "ControlEvents.h"

#include "Corvat.h"
#include "FormDescription.h"
#include "HandlerGuard.h"

namespace {

using TMouseHandler = void (TMain::*)(TMouseButton, int, int);
using TPlainHandler = void (TMain::*)();

template <typename THandler> struct TRoute {
    TControl Control;
    THandler Handler;
};

constexpr TRoute<TMouseHandler> PressRoutes[] = {
    { TControl::BackG, &TMain::BackGMouseDown },
    { TControl::MinB, &TMain::MinBMouseDown },
    { TControl::CloseB, &TMain::CloseBMouseDown },
    { TControl::RecB, &TMain::RecBMouseDown },
    { TControl::PauseB, &TMain::PauseBMouseDown },
    { TControl::StopB, &TMain::StopBMouseDown },
};

constexpr TRoute<TMouseHandler> ReleaseRoutes[] = {
    { TControl::BackG, &TMain::BackGMouseUp },
    { TControl::MinB, &TMain::MinBMouseUp },
    { TControl::CloseB, &TMain::CloseBMouseUp },
    { TControl::StopB, &TMain::StopBMouseUp },
};

constexpr TRoute<TPlainHandler> ClickRoutes[] = {
    { TControl::MinB, &TMain::MinBClick },
    { TControl::CloseB, &TMain::CloseBClick },
    { TControl::SaveAs, &TMain::SaveAsClick },
    { TControl::SecNoLimit, &TMain::SecNoLimitClick },
    { TControl::SecCustom, &TMain::SecCustomClick },
    { TControl::LabDev, &TMain::LabDevClick },
};

// The handler of Control among Routes; null when none takes its event.
template <typename THandler, size_t Count>
THandler HandlerOf(const TRoute<THandler> (&Routes)[Count], TControl Control)
{
    for (const TRoute<THandler>& Route : Routes)
        if (Route.Control == Control)
            return Route.Handler;
    return nullptr;
}

} // namespace

TControlEvents::TControlEvents(TMainWindow& Window)
    : FWindow(Window)
{
}

template <typename THandler> void TControlEvents::Run(THandler&& Handler)
{
    if (FMain)
        RunGuarded(FWindow, [&] { Handler(*FMain); });
}

void TControlEvents::Press(TControl Control, TMouseButton Button, int X, int Y)
{
    if (const TMouseHandler Handler = HandlerOf(PressRoutes, Control))
        Run([&](TMain& Main) { (Main.*Handler)(Button, X, Y); });
}

void TControlEvents::Move(TControl Control, int X, int Y)
{
    if (Control == TControl::BackG)
        Run([&](TMain& Main) { Main.BackGMouseMove(X, Y); });
}

void TControlEvents::Release(TControl Control, TMouseButton Button, int X, int Y)
{
    if (const TMouseHandler Handler = HandlerOf(ReleaseRoutes, Control))
        Run([&](TMain& Main) { (Main.*Handler)(Button, X, Y); });
}

void TControlEvents::Click(TControl Control)
{
    if (const TPlainHandler Handler = HandlerOf(ClickRoutes, Control))
        Run([&](TMain& Main) { (Main.*Handler)(); });
}

void TControlEvents::Activate(TControl Control)
{
    const TControlSpec& Spec = Form::Spec(Control);
    if (Spec.Kind != TControlKind::Image) {
        Click(Control);
        return;
    }
    const int X = Spec.Width / 2;
    const int Y = Spec.Height / 2;
    Press(Control, mbLeft, X, Y);
    Click(Control);
    Release(Control, mbLeft, X, Y);
}

void TControlEvents::Change(TControl Control, const std::string& Text)
{
    if (Control == TControl::SRate)
        Run([&](TMain& Main) { Main.SRateChange(Text); });
    else if (Control == TControl::KBS)
        Run([&](TMain& Main) { Main.KBSChange(Text); });
}

void TControlEvents::Tick()
{
    Run([](TMain& Main) { Main.TimTimer(); });
}

bool TControlEvents::CloseQuery()
{
    bool MayClose = false;
    Run([&](TMain& Main) { MayClose = Main.FormCloseQuery(); });
    return MayClose;
}

bool TControlEvents::QueryEndSession()
{
    // The system ends the program whatever the answer; a failure does not make it refuse.
    bool MayEnd = true;
    Run([&](TMain& Main) { MayEnd = Main.FormQueryEndSession(); });
    return MayEnd;
}

void TControlEvents::EndSession()
{
    Run([](TMain& Main) { Main.FormEndSession(); });
}

bool TControlEvents::RunInProgress() const
{
    return FMain && FMain->RunInProgress();
}
