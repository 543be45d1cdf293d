// The window's file dialogs: a picture to open, a folder, or a PNG file to
// write. Modal over `parent`; `start` is a folder or a file's suggested
// path. The path chosen, "" when cancelled.
#pragma once

#include <QString>

class QWidget;

enum class TAsk { Picture, Folder, PngFile };
QString AskForPath(QWidget* parent, TAsk kind, const QString& caption, const QString& start);
