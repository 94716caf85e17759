// What the window's fuzz target and its seed generator share: a modal host
// that answers every box and chooser at once, and an engine table that
// converts nothing, so a window runs with no user and no engine state.
#ifndef PIXWRIGHT_FUZZ_WINDOWSUPPORT_H
#define PIXWRIGHT_FUZZ_WINDOWSUPPORT_H

#include "gui/EngineCalls.h"
#include "gui/ModalHost.h"

#include <QColor>
#include <QDialog>
#include <QString>

namespace fuzz {

// Answers as a user who cancels everything.
class SilentHost : public TModalHost {
public:
    void showMessage(QWidget*, QMessageBox::Icon, const QString&, const QString&) override {}
    QString chooseOpenFile(QWidget*, const QString&, const QString&) override { return QString(); }
    bool chooseColor(QWidget*, QColor&) override { return false; }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return QString(); }
    int runDialog(QDialog&) override { return QDialog::Rejected; }
};

namespace detail {
inline int noConvert(const char*, const char*, const char*, int, int, int, int, int, int, int, int, const char*, int,
                     const char*, int, const char*)
{
    return 0;
}
inline void noColorKey(int, int, int) {}
inline void noColorKeyPos(int, int) {}
inline void noPaletteIndex(int) {}
inline void noProgressHandler(PixwrightProgressHandler, void*) {}
inline void noErrorBoxHandler(PixwrightErrorBoxHandler) {}
} // namespace detail

inline TEngineCalls quietEngine()
{
    TEngineCalls calls;
    calls.graphicConvert = detail::noConvert;
    calls.setColorKey = detail::noColorKey;
    calls.setColorKeyPos = detail::noColorKeyPos;
    calls.setColorKeyPaletteIndex = detail::noPaletteIndex;
    calls.setProgressHandler = detail::noProgressHandler;
    calls.setErrorBoxHandler = detail::noErrorBoxHandler;
    return calls;
}

} // namespace fuzz

#endif
