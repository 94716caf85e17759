// File-chooser filters.
#ifndef PIXWRIGHT_GUI_FILEFILTER_H
#define PIXWRIGHT_GUI_FILEFILTER_H

#include <QString>

// Turns a "name|patterns|name|patterns" list, patterns separated by ";", into
// Qt's ";;"-separated form. Qt takes the patterns from the parentheses at the
// end of each name and wants them separated by spaces there, so that part of
// each name is rewritten from the pattern column (or added when missing).
QString qtFileFilter(const QString& pipeList);

#endif
