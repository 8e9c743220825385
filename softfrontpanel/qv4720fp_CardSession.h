#ifndef QV4720FP_CARDSESSION_H
#define QV4720FP_CARDSESSION_H

#include "qv4720fp_DriverTurn.h"
#include "visa.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <array>
#include <optional>

class qv4000fp_genFC;

// One open 4720 card (or demo mode) as every front end sees it: the panel,
// the command line, the network server and the sequence engine. It is the
// only code that calls the card's driver once the card is open, so the
// card's rules (what opens, which range is one, what may be written) live
// here once.
//
// Threads: open, adopt, startDemo, the reads and close are for the thread
// that created the session, before and after other threads use it.
// writeChannel, reset and setpoint() may be called from any thread (the
// panel, the network server and the sequence engine's thread): the driver
// calls take turns in the order the callers arrive, one at a time, and
// setpointChanged is emitted on the writer's thread (queued to receivers
// elsewhere).
class qv4720fp_CardSession : public QObject {
    Q_OBJECT
public:
    static constexpr int ChannelCount = 8;

    // The driver calls whose failures the boxes and the command line report,
    // written out as the panel's messages name them.
    enum class Call { OutputRange, SerialNumber, Revision, WriteChannel, Close };

    struct Identity {
        QString serialNumber; // 8 lower-case hexadecimal digits
        QString model;        // "4720-<subtype>"
        QString firmwareRevision;
        QString driverRevision;
    };

    // Why a write did not reach the card (None: it did).
    enum class Refusal { None, NotOpen, Channel, NotFinite, NoRange, OutOfRange };
    struct WriteResult {
        Refusal refusal = Refusal::None;
        ViStatus status = VI_SUCCESS; // the driver's answer when it was called
        bool written() const { return refusal == Refusal::None && status >= VI_SUCCESS; }
    };

    explicit qv4720fp_CardSession(qv4000fp_genFC* fc, QObject* parent = nullptr);
    ~qv4720fp_CardSession() override;

    // Opens the card. Only status 0 opens it; a session that a warning left
    // open is closed again, and after any failure no session is kept.
    ViStatus open(const QString& descriptor, quint16 fcNumber, bool reset);
    // Takes a session the connection workflow opened.
    void adopt(ViSession vi);
    // Demo mode: the demo range and identity, and no driver call at all.
    void startDemo();

    bool isOpen() const { return m_vi != 0 || m_demo; }
    bool demo() const { return m_demo; }
    ViSession vi() const { return m_vi; }

    // Reads the output range once. A range that is not finite or not ordered
    // is none: nothing can be written then.
    ViStatus readOutputRange();
    bool rangeValid() const { return m_rangeValid; }
    double loLimit() const { return m_loLimit; }
    double hiLimit() const { return m_hiLimit; }

    // The identity reads; what a failed read wrote is not kept.
    ViStatus readSerialNumber();
    ViStatus readRevisions();
    Identity identity() const;

    // Writes one channel, 1 to 8. Refuses (without calling the driver) a
    // value that is not finite or outside the range: no clamping here.
    WriteResult writeChannel(int channel, double volts);
    ViStatus reset();
    // Closes the session; the status is returned so that callers report a
    // failed close. The record is emptied without notifications.
    ViStatus close();

    // The last value this program wrote to the channel since the card was
    // opened or reset, or nothing when it does not know (the card cannot be
    // read back).
    std::optional<double> setpoint(int channel) const;

    // The texts the panel's boxes show for a non-zero status: "<call> failed
    // due to [<text>]" for an error, "Warning: [<text>]" for a warning.
    QString statusReport(ViStatus status, Call call) const;
    // Why open() failed, for the command line: the connection workflow's
    // "unavailable" text, or for a warning, that the card was closed again.
    QString openReport(ViStatus status) const;
    // The same for a reset, with the carrier library's text.
    static QString resetReport(ViStatus status);
    // Why a write was refused, for the command line and the network.
    QString refusalText(int channel, double volts, Refusal refusal) const;
    static QString callText(Call call);
    // Volts as the messages write them: the shortest exact form, C locale.
    static QString voltsText(double volts);

signals:
    // A channel's set-point record changed (written, or become unknown).
    void setpointChanged(int channel);

private:
    void setRecord(int channel, std::optional<double> volts);
    void forgetAll();

    qv4000fp_genFC* m_fc;
    ViSession m_vi = 0;
    bool m_demo = false;
    double m_loLimit = 0.0;
    double m_hiLimit = 0.0;
    bool m_rangeValid = false;
    Identity m_identity;
    qv4720fp_DriverTurn m_turn;
    mutable QMutex m_recordMutex;
    std::array<std::optional<double>, ChannelCount> m_setpoints;
};

#endif
