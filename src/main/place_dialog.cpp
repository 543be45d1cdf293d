#include "place_dialog.h"

#include "image/intake.h"
#include "image/picture_format.h"
#include "image/picture_messages.h"
#include "place_frame.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TPlacePreview ReadPlacePreview(const std::string& path, TPictureSize size, QSize bound) {
    CheckPictureFile(path); // gone, a folder or emptied since it was loaded
    // The content decides the reader, as for the intake.
    const TPictureFormat format = PictureFormatOf(path);
    // A BMP, PNG or TIFF is decoded whole at up to eight bytes a pixel before
    // it is scaled; a JPEG is decoded at a fraction of its size already.
    if (format != TPictureFormat::Jpeg && (long long)size.Width * size.Height > MaxDecodeBytes / 8)
        FailPicture(path, "the picture is " + std::to_string(size.Width) + " x " +
                              std::to_string(size.Height) +
                              " pixels, and decoding it would need more than 1 GiB of memory");
    TPlacePreview preview;
    preview.Scale = std::min({1.0, double(bound.width()) / std::max(size.Width, 256),
                              double(bound.height()) / std::max(size.Height, 256)});
    // Qt's own limit is counted in whole MiB and shared by every reader.
    QImageReader::setAllocationLimit(int(MaxDecodeBytes >> 20));
    QImageReader reader(QFile::decodeName(QByteArray::fromStdString(path)), QtFormatName(format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false); // the grid takes the pixels as stored
    reader.setScaledSize(QSize(std::max(1, int(std::lround(size.Width * preview.Scale))),
                               std::max(1, int(std::lround(size.Height * preview.Scale)))));
    preview.Image = reader.read();
    if (preview.Image.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            FailPicture(path, "the file cannot be read");
        FailPicture(path, "the picture data is damaged, or of a kind that is not supported (" +
                              reader.errorString().toStdString() + ")");
    }
    return preview;
}

TPlaceDialog::TPlaceDialog(const TPlacePreview& preview, TPictureSize size, const TPlacement& shown,
                           QWidget* parent)
    : QDialog(parent), Size_(size),
      FitFactor_(ResolvePlacement({TPlacement::Fit}, size.Width, size.Height).K) {
    setObjectName("PlaceDialog");
    setWindowTitle("Place on grid");
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as the preview needs
    Frame_ = new TPlaceFrame(preview.Image, preview.Scale, size.Width, size.Height, this);
    layout->addWidget(Frame_, 0, Qt::AlignCenter);
    // Two plain lines: a word-wrapped label would leave the dialog too short
    // for its contents.
    layout->addWidget(new QLabel(QString("The picture is %1 x %2 pixels; the frame shows what "
                                         "lands on the 256 x 256 grid.\nDrag the frame, or move "
                                         "it with the arrow keys (Shift: farther).")
                                     .arg(size.Width)
                                     .arg(size.Height),
                                 this));

    TopLeft_ = new QRadioButton("top-left corner, unscaled", this);
    Part_ = new QRadioButton("this part", this);
    Fit_ = new QRadioButton(QString("shrink to fit (1/%1)").arg(FitFactor_), this);
    TopLeft_->setObjectName("TopLeft");
    Part_->setObjectName("Part");
    Fit_->setObjectName("Fit");
    auto* group = new QButtonGroup(this);
    for (QRadioButton* b : {TopLeft_, Part_, Fit_}) {
        group->addButton(b);
        layout->addWidget(b);
    }
    Lands_ = new QLabel(this);
    Lands_->setObjectName("Lands");
    layout->addWidget(Lands_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A picture that fits the grid whole lands the same under every
    // placement: only the default is offered.
    Part_->setEnabled(Frame_->Movable());
    Fit_->setEnabled(Frame_->Movable());
    connect(TopLeft_, &QRadioButton::clicked, this, [this] { Choose(TPlacement::TopLeft); });
    connect(Part_, &QRadioButton::clicked, this, [this] { Choose(TPlacement::Part); });
    connect(Fit_, &QRadioButton::clicked, this, [this] { Choose(TPlacement::Fit); });
    Frame_->OnMoved([this] { ShowChoice(); });

    Frame_->SetCorner({shown.X, shown.Y});
    Choose(Frame_->Movable() ? shown.Kind : TPlacement::TopLeft);
    Frame_->setFocus(); // the arrow keys move the frame from the start
}

void TPlaceDialog::Choose(TPlacement::TKind kind) {
    Frame_->ShowKind(kind);
    ShowChoice();
}

// The radio button and the words follow the frame.
void TPlaceDialog::ShowChoice() {
    const TPlacement::TKind kind = Frame_->Kind();
    (kind == TPlacement::Part  ? Part_
     : kind == TPlacement::Fit ? Fit_
                               : TopLeft_)
        ->setChecked(true);
    const TPlacement p = ResolvePlacement(Chosen(), Size_.Width, Size_.Height);
    const int w = PlacedWidth(p, Size_.Width), h = PlacedHeight(p, Size_.Height);
    QString text;
    if (!Frame_->Movable())
        text = "The picture fits the grid whole and lands unscaled at its top-left corner.";
    else if (kind == TPlacement::Fit)
        text = QString("The grid gets the whole picture shrunk to %1 x %2 pixels, each the mean "
                       "of %3 x %3 pixels.")
                   .arg(w)
                   .arg(h)
                   .arg(p.K);
    else
        text = QString("The grid gets the %1 x %2 pixels from column %3, row %4.")
                   .arg(w)
                   .arg(h)
                   .arg(p.X)
                   .arg(p.Y);
    Lands_->setText(text);
}

TPlacement TPlaceDialog::Chosen() const {
    switch (Frame_->Kind()) {
    case TPlacement::Part:
        return {TPlacement::Part, Frame_->Corner().x(), Frame_->Corner().y()};
    case TPlacement::Fit:
        return {TPlacement::Fit};
    default:
        return {};
    }
}
