// The window scenarios on the fake window: the user's input goes through the image controls'
// mouse rules, in the form's places, and the one routing of events to the handlers, as a front
// end's does; the fake window's record is what the window shows. The keys go through the
// window's keyboard rules (ControlKeys.h); what a toolkit's own controls do with a key (Space on
// a button, the arrows in a radio group or a list) the driver does as the toolkits do.
#include "ControlEvents.h"
#include "ControlKeys.h"
#include "FakeWindow.h"
#include "FormDescription.h"
#include "ImageMouse.h"
#include "ScenarioTest.h"
#include "lame.h"

#include <algorithm>
#include <span>

namespace {

const std::string SkinFolder = "/corvatone";

class TFakeWindowDriver final : public TWindowDriver {
public:
    TFakeWindowDriver() { lame::SetEncoderLibraryFileNameForTests(TEST_ENCODER_LIBRARY); }

    void Open(bool WithSkin) override
    {
        FWindow.FolderForSkin = SkinFolder;
        // Without the folder no skin file can be read: every name ends with "".
        if (!WithSkin)
            FWindow.Unreadable.insert("");
        FEvents.Attach(&FWindow.Open());
        FFocus = Form::ActiveControl;
    }
    TMain& Main() override { return FWindow.Main(); }
    void Destroy() override
    {
        FEvents.Attach(nullptr);
        FWindow.Destroy();
    }

    void Press(TControl Control, TMouseButton Button, int X, int Y) override
    {
        const TPoint At = InWindow(Control, X, Y);
        FMouse.Press(Button, ImageUnder(At), At);
    }
    void Move(TControl Control, int X, int Y) override
    {
        const TPoint At = InWindow(Control, X, Y);
        FMouse.Move(ImageUnder(At), At);
    }
    void Release(TControl Control, TMouseButton Button, int X, int Y) override
    {
        const TPoint At = InWindow(Control, X, Y);
        FMouse.Release(Button, ImageUnder(At), At);
    }
    void Click(TControl Control) override
    {
        if (Control == TControl::SecCustom || Control == TControl::SecNoLimit) {
            FWindow[TControl::SecCustom].Checked = Control == TControl::SecCustom;
            FWindow[TControl::SecNoLimit].Checked = Control == TControl::SecNoLimit;
        }
        FEvents.Click(Control);
    }
    void Type(TControl Control, const std::string& Text) override
    {
        if (!FWindow[Control].Enabled) {
            ADD_FAILURE() << ControlName(Control) << " is disabled";
            return;
        }
        FWindow[Control].Text = Text;
        if (Control == TControl::SRate || Control == TControl::KBS)
            FEvents.Change(Control, Text);
    }
    void Choose(TControl Control, const std::string& Entry) override
    {
        const std::vector<std::string>& Items = FWindow[Control].Items;
        if (std::find(Items.begin(), Items.end(), Entry) == Items.end()) {
            ADD_FAILURE() << ControlName(Control) << " has no entry " << Entry;
            return;
        }
        Type(Control, Entry);
    }
    void PressKey(TUserKey Key) override
    {
        switch (Key) {
        case TUserKey::Tab:
        case TUserKey::ShiftTab:
            FFocus = TControlKeys::NextTabStop(
                FFocus, Key == TUserKey::ShiftTab,
                [this](TControl Control) { return FWindow[Control].Enabled; },
                [this](TControl Control) { return FWindow[Control].Checked; });
            break;
        case TUserKey::CtrlR:
        case TUserKey::CtrlP:
        case TUserKey::CtrlS:
            FKeys.Shortcut(Key == TUserKey::CtrlR ? 'R'
                    : Key == TUserKey::CtrlP      ? 'P'
                                                  : 'S',
                false);
            break;
        default:
            if (FFocus)
                KeyOnControl(*FFocus, Key);
            break;
        }
    }
    void Tick() override
    {
        if (FWindow.TimerRunning)
            FEvents.Tick();
    }
    void Pump() override { FWindow.Pump(); }
    bool PumpUntil(const std::function<bool()>& Done, std::chrono::milliseconds Bound) override
    {
        // Some states (the source's count) come with no posted call: the wait looks again after
        // a short slice.
        const auto Deadline = std::chrono::steady_clock::now() + Bound;
        while (!FWindow.PumpUntil(Done, std::chrono::milliseconds(10)))
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
        return true;
    }

    void AnswerSaveDialog(std::optional<std::string> Path) override
    {
        FWindow.SaveAnswer = std::move(Path);
    }
    void AnswerMenu(std::optional<std::string> Entry) override
    {
        FWindow.MenuAnswer = std::move(Entry);
    }
    void HideSkinFile(const std::string& Name, bool Hidden) override
    {
        if (Hidden)
            FWindow.Unreadable.insert(Name);
        else
            FWindow.Unreadable.erase(Name);
    }

    std::vector<TShownBox> TakeBoxes() override
    {
        std::vector<TShownBox> Boxes;
        for (const TMessage& Message : FWindow.Messages)
            Boxes.push_back({ Message.Kind, Message.Title, Message.Text });
        for (const std::string& Error : FWindow.Errors)
            Boxes.push_back({ TMessageKind::mkError, "", Error });
        FWindow.Messages.clear();
        FWindow.Errors.clear();
        return Boxes;
    }
    std::vector<TShownMenu> TakeMenus() override
    {
        std::vector<TShownMenu> Menus;
        for (const TMenuSpec& Menu : FWindow.Menus)
            Menus.push_back({ Menu.Entries, Menu.Checked });
        FWindow.Menus.clear();
        return Menus;
    }
    std::string Hint(TControl Control) override { return FWindow[Control].Hint; }
    std::string Picture(TControl Control) override
    {
        const std::string Shown = FWindow[Control].Picture;
        const std::string Prefix = SkinFolder + "/Skin/";
        return Shown.rfind(Prefix, 0) == 0 ? Shown.substr(Prefix.size()) : Shown;
    }
    std::string Text(TControl Control) override { return FWindow[Control].Text; }
    std::vector<std::string> Items(TControl Control) override { return FWindow[Control].Items; }
    bool Enabled(TControl Control) override { return FWindow[Control].Enabled; }
    bool Checked(TControl Control) override { return FWindow[Control].Checked; }
    std::optional<TControl> Focused() override { return FFocus; }
    int Position(TControl Control) override { return FWindow[Control].Position; }
    TWindowPlace Place() override { return { FWindow.Left, FWindow.Top }; }
    bool Minimised() override { return FWindow.Minimised > 0; }
    bool Closed() override { return FWindow.Closed; }

private:
    // The image controls' mouse rules report to the one routing of events, as a front end's do.
    class TMouseHost final : public TImageMouseHost {
    public:
        explicit TMouseHost(TControlEvents& Events)
            : FEvents(Events)
        {
        }
        TPoint Origin(int Control) const override
        {
            const TControlSpec& Spec = Form::Spec(static_cast<TControl>(Control));
            return { Spec.Left, Spec.Top };
        }
        void CaptureMouse() override { }
        void ReleaseMouse() override { }
        void MouseDown(int Control, TMouseButton Button, TPoint At) override
        {
            FEvents.Press(static_cast<TControl>(Control), Button, At.X, At.Y);
        }
        void MouseMove(int Control, TPoint At) override
        {
            FEvents.Move(static_cast<TControl>(Control), At.X, At.Y);
        }
        void MouseUp(int Control, TMouseButton Button, TPoint At) override
        {
            FEvents.Release(static_cast<TControl>(Control), Button, At.X, At.Y);
        }
        void Click(int Control) override { FEvents.Click(static_cast<TControl>(Control)); }

    private:
        TControlEvents& FEvents;
    };

    void KeyOnControl(TControl Control, TUserKey Key)
    {
        const bool Pressing = Key == TUserKey::Space || Key == TUserKey::Enter;
        if (TControlKeys::IsImageButton(Control)
            || (TControlKeys::IsChooser(Control) && Pressing)) {
            FKeys.KeyDown(Control, Key == TUserKey::Space ? TKey::Space : TKey::Enter, false);
        } else if (Control == TControl::SaveAs && Pressing) {
            FEvents.Click(Control);
        } else if (Form::Spec(Control).Kind == TControlKind::Radio && !Pressing) {
            // The group's other button: it takes the focus and is chosen.
            FFocus = Control == TControl::SecCustom ? TControl::SecNoLimit : TControl::SecCustom;
            Click(*FFocus);
        } else if (Form::Spec(Control).Kind == TControlKind::ComboBox && !Pressing) {
            StepList(Control, Key == TUserKey::Down ? 1 : -1);
        }
    }
    // The arrows choose the next or the previous entry; past either end nothing changes.
    void StepList(TControl Control, int Step)
    {
        const std::vector<std::string>& Items = FWindow[Control].Items;
        const auto Found = std::find(Items.begin(), Items.end(), FWindow[Control].Text);
        const long Now = Found == Items.end() ? -1 : static_cast<long>(Found - Items.begin());
        const long Next = std::clamp(Now + Step, 0L, static_cast<long>(Items.size()) - 1);
        if (Next != Now)
            Type(Control, Items[static_cast<size_t>(Next)]);
    }

    static TPoint InWindow(TControl Control, int X, int Y)
    {
        const TControlSpec& Spec = Form::Spec(Control);
        return { Spec.Left + X, Spec.Top + Y };
    }
    // The control that takes the mouse (an image, the input chooser) and is the topmost enabled
    // control at At, in the form's places and sizes; a disabled control takes no mouse.
    int ImageUnder(TPoint At)
    {
        const std::span<const TControlSpec> Controls = Form::Controls();
        for (auto Spec = Controls.rbegin(); Spec != Controls.rend(); ++Spec) {
            const bool Inside = At.X >= Spec->Left && At.Y >= Spec->Top
                && At.X < Spec->Left + Spec->Width && At.Y < Spec->Top + Spec->Height;
            if (Inside)
                return Form::ReportsMouse(*Spec) && FWindow[Spec->Id].Enabled
                    ? static_cast<int>(Spec->Id)
                    : TImageMouse::NoImage;
        }
        return TImageMouse::NoImage;
    }

    TFakeWindow FWindow;
    TControlEvents FEvents{ FWindow };
    TMouseHost FMouseHost{ FEvents };
    TImageMouse FMouse{ FMouseHost };
    TControlKeys FKeys{ FEvents };
    std::optional<TControl> FFocus;
};

} // namespace

CORVATONE_SCENARIOS_ON(Fake, [] { return std::make_unique<TFakeWindowDriver>(); });
