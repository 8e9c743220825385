#include "clickableLabel.h"

#include <QCursor>

namespace {
const char* const kLinkOpen = "<u><font color='#22e'>";
const char* const kLinkClose = "</font></u>";
} // namespace

clickableLabel::clickableLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setText(QLatin1String(kLinkOpen) + text + QLatin1String(kLinkClose));
    setCursor(Qt::PointingHandCursor);
}

// Any button counts: a right-button release opens the link too.
void clickableLabel::mouseReleaseEvent(QMouseEvent*) {
    emit clicked();
}
