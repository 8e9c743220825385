#include "qv4000fp_splashLabel.h"

#include <QFont>
#include <QFontMetrics>
#include <QFuture>
#include <QImage>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdio>

namespace {
const char* const kTitle = "Zelvan %1";
const char* const kBackground = ":/fp_splash.png";
const char* const kFullPicture = ":/qv%1fp_splash.bmp";
const char* const kCardPicture = ":/qv%1fp_splash.png";
const char* const kWrongPictureSize =
    "The size of the image of the device, that is to be used in the splash screen, is not as "
    "required!!!\n";

const QSize kSplashSize(520, 400);
const QSize kCardPictureSize(452, 194);
// A full-size picture contributes only the band the card occupies.
const QRectF kFullPictureBand(67.0, 38.0, 453.0, 199.0);
const QPointF kCardPictureAt(67.0, 43.0);

// Title and description sizes are scaled; the copyright line's is not.
const double kTitlePoints = 18.0;
const double kDescriptionPoints = 12.0;
const int kSmallPoints = 8;

const int kTextLeft = 67;
const int kTextWidth = 453;
const int kTextTop = 236;
const int kTextHeight = 164;
const int kBottom = 400;

QFont boldFont(const QFont& base, int pointSize) {
    QFont font(base);
    font.setWeight(QFont::Bold);
    font.setPointSize(pointSize);
    return font;
}

int scaledPoints(float scale, double points) {
    return static_cast<int>(scale * points);
}

// The model number as the title shows it and as the picture names use it.
QString modelText(int model, bool hexModel) {
    return QStringLiteral("%1").arg(model, 4, hexModel ? 16 : 10, QLatin1Char(' '));
}

// The card's picture as the splash uses it: a full-size picture (of which
// only the card's band is drawn), else a card-sized one, else none.
struct CardPicture {
    QImage image;
    bool fullSize = false;
};

QImage readImage(const QString& name) {
    return QImage(name);
}

CardPicture readCardPicture(const QString& model) {
    QImage full(QString::fromLatin1(kFullPicture).arg(model));
    if (full.size() == kSplashSize)
        return {full, true};
    QImage card(QString::fromLatin1(kCardPicture).arg(model));
    if (card.size() == kCardPictureSize)
        return {card, false};
    return {};
}

void drawCardPicture(QPainter& painter, const CardPicture& picture) {
    if (picture.image.isNull()) {
        std::fputs(kWrongPictureSize, stdout);
        std::fflush(stdout);
    } else if (picture.fullSize) {
        painter.drawImage(kFullPictureBand, picture.image, kFullPictureBand);
    } else {
        painter.drawImage(kCardPictureAt, picture.image);
    }
}

// The first font loads the font database, each the engine of its face and
// size; the texts then find them ready. The painter's font on a pixmap is the
// default font at the same resolution.
void loadFontEngines(float scale) {
    for (int pointSize :
         {scaledPoints(scale, kTitlePoints), scaledPoints(scale, kDescriptionPoints), kSmallPoints})
        QFontMetrics(boldFont(QFont(), pointSize)).height();
}
} // namespace

qv4000fp_splashLabel::qv4000fp_splashLabel(float scale, int margin, int model, bool hexModel,
                                           const QString& copyright, const QString& description) {
    const QString number = modelText(model, hexModel);
    // Decoding the two pictures and loading the fonts are most of the work
    // and need nothing of each other: the pictures decode on other threads
    // meanwhile, so the splash shows sooner.
    QFuture<QImage> background = QtConcurrent::run(readImage, QString::fromLatin1(kBackground));
    QFuture<CardPicture> picture = QtConcurrent::run(readCardPicture, number);
    loadFontEngines(scale);
    // Taken, not copied: a copy would be 0.8 MB more to fault in.
    QPixmap::operator=(QPixmap::fromImage(background.takeResult()));

    QPainter painter(this);
    const QFont titleFont = boldFont(painter.font(), scaledPoints(scale, kTitlePoints));
    const QFont descriptionFont = boldFont(painter.font(), scaledPoints(scale, kDescriptionPoints));
    const QFont smallFont = boldFont(painter.font(), kSmallPoints);
    const int titleHeight = QFontMetrics(titleFont, this).height();
    const int smallHeight = QFontMetrics(smallFont, this).height();

    const int left = kTextLeft + margin;
    const int width = kTextWidth - 2 * margin;

    painter.setFont(titleFont);
    painter.drawText(QRect(left, kTextTop + titleHeight / 2, width, titleHeight), Qt::AlignCenter,
                     QString::fromLatin1(kTitle).arg(number));

    painter.setFont(descriptionFont);
    painter.drawText(QRect(left, kTextTop + 2 * titleHeight, width,
                           kTextHeight - 2 * titleHeight - 3 * smallHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, description);

    painter.setFont(smallFont);
    painter.drawText(QRect(left, kBottom - 2 * smallHeight, width, smallHeight), Qt::AlignCenter,
                     copyright);

    drawCardPicture(painter, picture.takeResult());
    painter.end();
}
