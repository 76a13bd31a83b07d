// The 3D test view a settings window carries in its left part, as the window sees it, and the
// window as the view sees it. The window owns the view, starts it while it initialises and hands
// it the window's own messages; the view itself lives in d3dview/ and reaches the window's
// controls by their ids.
#pragma once

#include <QRect>
#include <QRegion>

class CDialogControls;
class QPainter;
class QWidget;

class ISettingsView {
  public:
    virtual ~ISettingsView() = default;

    // Starts the view over the window's view rectangle; false when it cannot (the window then
    // disables the view's controls and says so in its title).
    virtual bool Start() = 0;
    // "確  定 " is about to close the window: a running speed test no longer holds it open.
    virtual void EndSpeedTest() = 0;
    // The window's close box: false, and the window stays open, while the speed test runs;
    // otherwise the view lets go of its device and objects.
    virtual bool OnClose() = 0;
    // The window ends without its close box (Esc, Enter): the view lets go as on a close.
    virtual void Release() = 0;
    // The window was activated or deactivated. True when the display's colour depth has
    // changed since the view started: the window then confirms itself.
    virtual bool OnActivate(bool bActive) = 0;
    // The window paints `region`: the view's background and, the first time, its first frame.
    virtual void Paint(QPainter& painter, const QRegion& region) = 0;
};

// What the view needs of the window it lives in.
class ISettingsViewHost {
  public:
    // The window itself: the parent of the view's surface and message boxes, with the title that
    // names the device and the rectangle the view paints its background in.
    virtual QWidget& Window() = 0;
    // The window's controls, found by their ids.
    virtual const CDialogControls& Controls() const = 0;
    // Where the view draws, in client coordinates.
    virtual const QRect& ViewRect() const = 0;

  protected:
    ~ISettingsViewHost() = default;
};
