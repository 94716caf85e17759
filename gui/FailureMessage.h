// The window's words for a failed conversion: what failed, the file or
// folder concerned and the system's or decoder's reason, from the facts the
// engine keeps of the failure, in the window's language.
#ifndef PIXWRIGHT_GUI_FAILUREMESSAGE_H
#define PIXWRIGHT_GUI_FAILUREMESSAGE_H

#include "engine/Pixwright_DLL.h"

#include <QCoreApplication>
#include <QString>

class TFailureMessage {
    Q_DECLARE_TR_FUNCTIONS(TFailureMessage)

public:
    static QString text(const PixwrightFailure& failure);
};

#endif
