#ifndef QV4720FP_VERSIONCOMMAND_H
#define QV4720FP_VERSIONCOMMAND_H

class qv4000fp_genFC;

// "--version": the panel's own version, then the driver's and the carrier
// library's revisions as the libraries report them (the About dialog's
// "Software Revisions").
class qv4720fp_VersionCommand {
public:
    explicit qv4720fp_VersionCommand(qv4000fp_genFC* fc);
    // Returns 0: what the libraries fail to report is shown as not reported.
    int run();

private:
    qv4000fp_genFC* m_fc;
};

#endif
