#ifndef QV4720FP_TOOLKITOPTIONS_H
#define QV4720FP_TOOLKITOPTIONS_H

#include <QString>
#include <QStringList>

// The toolkit's own command-line options (-platform, -style, ...). The
// application object reads them from the original arguments; the panel's
// option parser must not see them, or it would reject them as unknown.
class qv4720fp_ToolkitOptions {
public:
    // The arguments without the toolkit's options and their values. The
    // values of the panel's own options (valueOptions, with their dashes) are
    // never taken for toolkit options. An option that needs a value and has
    // none sets *problem.
    static QStringList removed(const QStringList& arguments, const QStringList& valueOptions,
                               QString* problem);
    // The toolkit options among the arguments, by plain name ("platform").
    static QStringList given(const QStringList& arguments, const QStringList& valueOptions);

private:
    static QString plainName(const QString& argument);
    static QStringList scan(const QStringList& arguments, const QStringList& valueOptions,
                            QStringList* toolkitNames, QString* problem);
};

#endif
