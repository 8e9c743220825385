#include "qv4000fp_splashLabel.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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

// The model number as the title shows it and as the picture names use it.
QString modelText(int model, bool hexModel) {
    return QStringLiteral("%1").arg(model, 4, hexModel ? 16 : 10, QLatin1Char(' '));
}

void drawCardPicture(QPainter& painter, const QString& model) {
    const QImage full(QString::fromLatin1(kFullPicture).arg(model));
    if (full.size() == kSplashSize) {
        painter.drawImage(kFullPictureBand, full, kFullPictureBand);
        return;
    }
    const QImage card(QString::fromLatin1(kCardPicture).arg(model));
    if (card.size() == kCardPictureSize) {
        painter.drawImage(kCardPictureAt, card);
        return;
    }
    std::fputs(kWrongPictureSize, stdout);
    std::fflush(stdout);
}
} // namespace

qv4000fp_splashLabel::qv4000fp_splashLabel(float scale, int margin, int model, bool hexModel,
                                           const QString& copyright, const QString& description) {
    load(QString::fromLatin1(kBackground));

    QPainter painter(this);
    const QFont titleFont = boldFont(painter.font(), static_cast<int>(scale * 18.0));
    const QFont descriptionFont = boldFont(painter.font(), static_cast<int>(scale * 12.0));
    const QFont smallFont = boldFont(painter.font(), 8);
    const int titleHeight = QFontMetrics(titleFont, this).height();
    const int smallHeight = QFontMetrics(smallFont, this).height();

    const int left = kTextLeft + margin;
    const int width = kTextWidth - 2 * margin;
    const QString number = modelText(model, hexModel);

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

    drawCardPicture(painter, number);
    painter.end();
}
