// A call that tests may replace: the Qt window's boxes, dialogs, menus and window moves each run
// through one, so that a test observes or answers them instead of a modal loop or the platform.
//
// GUI thread only.
#pragma once

#include <utility>

template <typename TCall> class TReplaceable {
public:
    explicit TReplaceable(TCall Default)
        : FDefault(Default)
        , FCurrent(std::move(Default))
    {
    }

    // Makes Call the one that runs (an empty one puts the default back) and returns the one that
    // ran before.
    TCall Replace(TCall Call) { return std::exchange(FCurrent, Call ? std::move(Call) : FDefault); }

    template <typename... TArgs> auto operator()(TArgs&&... Args) const
    {
        return FCurrent(std::forward<TArgs>(Args)...);
    }

private:
    const TCall FDefault;
    TCall FCurrent;
};
