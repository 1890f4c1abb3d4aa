// Pictures of the forms' windows, and the screenshot mode: every visible form saved as a PNG
// file once the main form is shown and painted, then the main form asked to close.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "vcl/forms.h"

namespace vcl::qt::detail {

class Book;

// Saves the form's window (menu bar and client area) as a PNG file, after the forms waiting
// to appear have appeared; false when the form is not shown or the file was not written.
bool SaveScreenshot(Book& book, TCustomForm* form, const QString& file_name);

// Waits (at most 10 s) for the main form to be shown and painted, saves <dir>/<Name>.png of
// every visible form, asks the main form to close, then runs `closed`. `context` ends the wait.
void RunScreenshotMode(Book& book, QObject* context, const QString& dir,
                       std::function<void()> closed);

}  // namespace vcl::qt::detail
