// What every self-drawn Qt widget gives its toolkit-free core (WidgetHost.h) alike: its size,
// its repaints and the application palette's system colours. THost is the core's host
// interface (TGradBtnHost, TFlatProgressBarHost); the widget adds the rest of it.
//
// GUI thread only.
#pragma once

#include "SystemColors.h"
#include "WidgetHost.h"

#include <QWidget>

template <typename THost> class TQtWidgetHost : public QWidget, protected THost {
public:
    // The core paints every pixel, without a background of the system's under it.
    explicit TQtWidgetHost(QWidget* Parent)
        : QWidget(Parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    TSize Size() const override { return { width(), height() }; }
    void Resize(TSize NewSize) override { resize(NewSize.Width, NewSize.Height); }
    void Invalidate() override { update(); }
    void Repaint() override { repaint(); }
    TSystemPalette SystemPalette() const override { return QtSystemPalette(); }
};
