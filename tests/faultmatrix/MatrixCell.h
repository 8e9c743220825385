#ifndef MATRIXCELL_H
#define MATRIXCELL_H

#include "FaultMatrix.h"
#include "ModalAnswerer.h"

#include <QList>
#include <QStringList>

// One cell of the fault matrix run on the real panel: connect with "Auto
// Find", write 2.5 V to channel 1, press "Reset Device", close the panel. The
// operator answers every box the way that lets the panel go on (No to an
// error, OK to a warning, "Try Again" then "Run In Demo Mode" when the card
// cannot be had), or Yes to an error box when answerYes is set, which ends
// the process inside run().
class MatrixCell {
public:
    MatrixCell(const Row& row, bool negative);

    // False when the bench did not load.
    bool run(const QString& tracePath, bool answerYes = false);

    // The boxes seen after the first connection choice, choice boxes left out.
    const QList<ModalAnswerer::Seen>& boxes() const { return m_boxes; }
    bool built() const { return m_built; }
    bool demo() const { return m_demo; }
    // The trace shows the call returning the injected status.
    bool hit() const { return m_hit; }
    // The panel lived to its end and closed the session it had opened.
    bool closed() const { return m_closed; }

private:
    void answer(QWidget* modal, bool answerYes);

    const Row& m_row;
    ViStatus m_status;
    QList<ModalAnswerer::Seen> m_boxes;
    int m_choices = 0;
    bool m_built = false;
    bool m_demo = false;
    bool m_closed = false;
    bool m_hit = false;
};

// The short name of a box seen, as the matrix prints it.
QString boxKind(const ModalAnswerer::Seen& seen);

#endif
