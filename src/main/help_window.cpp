#include "help_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString HelpText() {
    QFile file(":/help.md");
    if (!file.open(QIODevice::ReadOnly))
        return "# Help\n\nThe help text is missing from this build.";
    return QString::fromUtf8(file.readAll());
}

// The blocks of `document` that are headings, in order.
QList<QTextBlock> HeadingBlocks(const QTextDocument& document) {
    QList<QTextBlock> blocks;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() > 0) blocks.push_back(b);
    return blocks;
}

} // namespace

QString THelpWindow::LinkName(const QString& heading) {
    QString name;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber())
            name += c;
        else if (c == ' ' || c == '-')
            name += '-';
    }
    return name;
}

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), Text_(new QTextBrowser(this)), Contents_(new QListWidget(this)),
      Search_(new QLineEdit(this)), Found_(new QLabel(this)) {
    setWindowTitle("Tessavorin help");
    Text_->setOpenLinks(false); // links inside the text jump to its headings
    Text_->setMarkdown(HelpText());
    for (const QTextBlock& b : HeadingBlocks(*Text_->document())) {
        auto* item = new QListWidgetItem(b.text(), Contents_);
        item->setData(Qt::UserRole, b.position());
        if (b.blockFormat().headingLevel() > 2) item->setText("    " + b.text());
    }
    Contents_->setMaximumWidth(240);
    Search_->setPlaceholderText("Search (Ctrl+F), Enter for the next place");
    Search_->setClearButtonEnabled(true);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(Search_);
    searchRow->addWidget(Found_);
    auto* body = new QHBoxLayout;
    body->addWidget(Contents_);
    body->addWidget(Text_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(body, 1);
    resize(820, 640);

    connect(Contents_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowHeading(item->text().trimmed()); });
    connect(Contents_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowHeading(item->text().trimmed()); });
    connect(Text_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { ShowHeading(url.fragment()); });
    connect(Search_, &QLineEdit::returnPressed, this, [this] { FindNext(Search_->text()); });
    connect(Search_, &QLineEdit::textEdited, this, [this] { Found_->clear(); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        Search_->setFocus();
        Search_->selectAll();
    });
}

QStringList THelpWindow::Headings() const {
    QStringList headings;
    for (const QTextBlock& b : HeadingBlocks(*Text_->document())) headings.push_back(b.text());
    return headings;
}

bool THelpWindow::ShowHeading(const QString& heading) {
    for (const QTextBlock& b : HeadingBlocks(*Text_->document())) {
        if (b.text() != heading && LinkName(b.text()) != heading) continue;
        QTextCursor cursor(b);
        // Scrolled to the end first, so that the heading then stands at the top.
        Text_->moveCursor(QTextCursor::End);
        Text_->setTextCursor(cursor);
        Text_->ensureCursorVisible();
        return true;
    }
    return false;
}

bool THelpWindow::FindNext(const QString& text) {
    if (text.isEmpty()) return false;
    if (!Text_->find(text)) {
        Text_->moveCursor(QTextCursor::Start);
        if (!Text_->find(text)) {
            Found_->setText("not found");
            return false;
        }
    }
    Found_->clear();
    return true;
}

QString THelpWindow::PlainText() const {
    return Text_->toPlainText();
}

QString THelpWindow::SelectedText() const {
    return Text_->textCursor().selectedText();
}
