#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "command_ids.h"
#include "graphs/display_state.h"
#include "graphs/surface.h"

namespace kenvo {

struct AppState;

// What a whole-view drawing pass is given.
struct ViewContext {
    ViewMode mode;
    const AppState& state;
    Rect area;  // the view's client area in layout units (pixels at the window's first size)
};

// Draws the current mode from scratch onto the surface.
using ModeRenderer = std::function<void(Surface&, const ViewContext&)>;

// The blank view: white, with the subject line at the top.
void renderBlankView(Surface& surface, const ViewContext& context);

// The main view. It owns a backing image that stands for the window's pixels: incremental
// drawing (timer ticks) goes into it, paint events only copy it to the screen, and redraw()
// renders it again from scratch with the mode renderer.
//
// The drawing routines lay the view out for the window's first size. A larger window shows the
// same layout larger (layoutScale(), at least 1), drawn as vectors at device resolution, also
// on a high-density screen; the mouse is reported in layout units, so clicks land where they
// did. The target and driving displays lay themselves out for the whole view and are not scaled.
class CKenvoPlatView final : public QWidget {
    Q_OBJECT

  public:
    CKenvoPlatView(AppState& state, QWidget* parent = nullptr);

    ViewMode mode() const { return mode_; }
    void setMode(ViewMode mode) {
        mode_ = mode;
        updateLayoutScale();
        emit modeChanged(mode);
    }

    // How much larger than their layout the drawings are shown (1 at the window's first size).
    double layoutScale() const { return layoutScale_; }
    // The view's client size in layout units.
    QSize layoutSize() const;
    // A rectangle of the layout in the view's (widget) pixels, to place a child widget over it.
    QRect toWidget(const QRect& layout) const;
    // A point of the view in layout units.
    QPoint toLayout(QPointF widget) const;

    // The drawing of every mode; renderBlankView until the display routines are plugged in.
    void setRenderer(ModeRenderer renderer);
    const ModeRenderer& renderer() const { return renderer_; }

    // The drawing state of the stance panels, the replay, the graph report and the diffusion page.
    DisplayState& display() { return display_; }
    // Set while a print job or preview runs: the COP picture countdown waits for it.
    bool printJobActive() const { return printJobActive_; }
    void setPrintJobActive(bool active) { printJobActive_ = active; }

    // Command handlers of the view's modes, asked in the order added before the view's own.
    void addCommandHandler(std::function<bool(int32_t)> handler) {
        handlers_.push_back(std::move(handler));
    }

    // Renders the backing image from scratch and schedules the copy to the screen.
    void redraw();
    // Draws the current mode from scratch on `device`, a surface of the view's device pixels.
    void render(Surface& device);
    // Runs `draw` on the backing image as it is (a timer tick) and schedules the copy.
    void drawIncrement(const std::function<void(Surface&)>& draw);

    const QImage& backing() const { return backing_; }
    int redrawCount() const { return redraws_; }

    // The view's own commands; false for an id it does not handle.
    bool handleCommand(int32_t id);

  signals:
    // The view was switched to the blank view; the frame removes the dialog bar.
    void blanked();
    // The view entered `mode`; a mode without a table takes the summary list away.
    void modeChanged(ViewMode mode);
    // A mouse button went down at `at` (layout units).
    void mousePressed(QPoint at, Qt::MouseButton button);
    // The pointer moved over the view to `at` (layout units), with or without a button down.
    void pointerMoved(QPoint at);
    // A mouse button went up at `at` (layout units).
    void mouseReleased(QPoint at, Qt::MouseButton button);
    // The view's layout scale changed (the window was resized, or a mode with its own
    // geometry came or went); widgets placed over the layout follow it.
    void layoutScaleChanged(double scale);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void updateLayoutScale();
    // Device pixels per layout unit: the layout scale times the screen's pixel ratio.
    double deviceScale() const;
    QSize deviceSize() const;

    AppState& state_;
    ViewMode mode_ = ViewMode::Blank;
    ModeRenderer renderer_;
    std::vector<std::function<bool(int32_t)>> handlers_;
    DisplayState display_{};
    bool printJobActive_ = false;
    QImage backing_;  // device pixels
    int redraws_ = 0;
    double layoutScale_ = 1.0;
};

}  // namespace kenvo
