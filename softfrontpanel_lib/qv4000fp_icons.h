#ifndef QV4000FP_ICONS_H
#define QV4000FP_ICONS_H

#include <QIcon>
#include <QPixmap>

// The framework's built-in pixel images.
QPixmap qv4000fp_windowIconPixmap(); // 16 x 16, also the connection icon
QIcon qv4000fp_connectionIcon();     // the window icon as an icon
QPixmap qv4000fp_startPixmap();      // 12 x 12 single-shot start
QPixmap qv4000fp_startContPixmap();  // 12 x 12 continuous start
QPixmap qv4000fp_stopPixmap();       // 12 x 12 stop
QPixmap qv4000fp_whatsThisPixmap();  // 20 x 17 What's This

#endif
