#pragma once
// Windows that fit any screen. A first-edition window is laid out in fixed design pixels (its
// .ui); a newer one by layouts, with a smallest size its design reads well at. Where the screen's
// available area cannot hold that size with the window's frame (a laptop at scale 1.5 or 2), the
// whole window — child geometry or minimum sizes, fonts, pictures — is drawn smaller by one
// factor, keeping its proportions. On a large screen the pupil can enlarge the windows with Ctrl++
// (Ctrl+- and Ctrl+0 go back); the zoom is remembered beside the settings file.
//
// Every window is placed by its frame, so its title bar is on the screen whatever the size: a
// window that fits has its frame's top-left at its design position; a scaled one is centred.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace screenfit {

// The factor for a window whose client area is CLIENT design pixels, with window-system frame
// margins FRAME (title bar and borders, not scaled), on a screen area AVAILABLE, at the pupil's
// ZOOM: ZOOM when that fits, else the largest factor that fits.
double Factor(QSize client, QSize frame, QSize available, double zoom);

// Where the frame of a window OUTER pixels large (frame included) goes: at DESIGN_POS, taken
// from the available area's top-left, when that holds it; otherwise moved back into AVAILABLE
// as far as it holds it, its top-left corner first (the title bar stays reachable). A design
// position a few pixels left of the edge (the first edition's hidden border) is kept.
QPoint FramePosition(QPoint designPos, QSize outer, const QRect& available);

// The zoom steps Ctrl++ and Ctrl+- move between, and the bounds a stored zoom is kept within.
inline constexpr double kZoomStep = 0.1;
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 3.0;
double ClampZoom(double zoom);

// The pupil's zoom, read once from "Lentavo.zoom" beside the settings file (1 when there is none
// or it cannot be read); SetZoom stores it there. The file is a single decimal number.
double Zoom();
void SetZoom(double zoom);

// Places WINDOW (a top-level window of the program, laid out in fixed pixels) with its design
// client size DESIGN_CLIENT scaled by Factor(), and its frame at DESIGN_POS (or centred, when
// scaled). A window not placed before remembers its children's design geometry and fonts now;
// placing it again (after a zoom change, or once the window system tells the frame) scales from
// those. The window's size is fixed at the result.
void Place(QWidget* window, QPoint designPos, QSize designClient);

// Fits WINDOW, laid out by layouts, to the screen: its fonts, its parts' minimum sizes and its
// layouts' spacing scaled by Factor() over DESIGN_MINIMUM (the smallest client size its design
// is meant for; by default the minimum size the window had when it was first fitted), and its
// frame filling the available area, as a maximised window's does. Show it maximised afterwards;
// without a window manager it already covers the area.
void FitLayout(QWidget* window, QSize designMinimum = {});

// The factor WINDOW is drawn at now (1 for a window never placed).
double CurrentFactor(const QWidget* window);

// The frame margins used for WINDOW: its own once the window system has told them, else those
// of the last window of the program that was shown with a frame (none before the first).
QMargins FrameMargins(const QWidget* window);

// Gives WINDOW the zoom keys: Ctrl++ / Ctrl+= enlarge, Ctrl+- shrinks, Ctrl+0 resets; every
// placed window of the program follows a change.
void InstallZoomKeys(QWidget* window);

}  // namespace screenfit
