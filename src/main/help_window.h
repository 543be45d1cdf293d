// The help window: the help text that ships inside the program (data/help.md),
// a list of its headings to jump to, and a search line (Ctrl+F) that finds
// the next place of a word, wrapping round at the end.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;

class THelpWindow : public QWidget {
  public:
    explicit THelpWindow(QWidget* parent);

    // The headings of the text, in order, as the contents list shows them.
    QStringList Headings() const;
    // Shows the heading whose text (or its link name, "how-the-scan-...")
    // is `heading`; false when there is none.
    bool ShowHeading(const QString& heading);
    // Selects the next place of `text` after the current one, from the top
    // when none follows; false (and a word in the search line's label) when
    // the text holds it nowhere.
    bool FindNext(const QString& text);

    QString PlainText() const;
    QString SelectedText() const;
    QLineEdit* SearchLine() const { return Search_; }

    // The link name of a heading, as the text's own links write it.
    static QString LinkName(const QString& heading);

  private:
    QTextBrowser* Text_;
    QListWidget* Contents_;
    QLineEdit* Search_;
    QLabel* Found_;
};
