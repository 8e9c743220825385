#ifndef QV4000FP_SPLASHLABEL_H
#define QV4000FP_SPLASHLABEL_H

#include <QPixmap>
#include <QString>

// The start-up splash image: the common background with the card's picture and
// three lines of text. Once built it is an ordinary 520 x 400 pixmap.
class qv4000fp_splashLabel : public QPixmap {
public:
    qv4000fp_splashLabel(float scale, int margin, int model, bool hexModel,
                         const QString& copyright, const QString& description);
};

#endif
