#pragma once
// A print scheduler (cupsd) of a test's own: its configuration, spool, logs and socket in one
// folder, nothing shared with the system's printing. Its queues print to /dev/null and the spool
// keeps every job's document, to be read back. Only the scheduler this object started is
// stopped, by its process id.
//
// Running as root, the scheduler's filters run as the unprivileged user lp, so the folder is
// opened to others for reading.

#include <sys/types.h>

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "platform/Result.h"

namespace tavrin::test {

// The printing settings of a test or benchmark run, none of them the user's: the printing system
// at `server`, a home of the run's own (no ~/.cups/lpoptions naming a default printer, no
// client.conf naming another server), a settings folder of its own in place of the system's,
// and none of the variables that name a printer or change how the printing system is reached.
// For a command the run starts, and for this process (before the printing system is first used).
QProcessEnvironment OwnPrintingSettings(QProcessEnvironment env, const QString& home, const QString& server);
void UseOwnPrintingSettings(const QString& home, const QString& server);

class CupsScheduler {
public:
    // folder: made when missing; holds everything of this scheduler.
    explicit CupsScheduler(QString folder);
    // Stops the scheduler when this object started it attached.
    ~CupsScheduler();
    CupsScheduler(const CupsScheduler&) = delete;
    CupsScheduler& operator=(const CupsScheduler&) = delete;

    // Starts it and waits until it answers; why not when it cannot (its error log included).
    // detached: it outlives this process, its process id kept in the folder for Stop().
    Status Start(bool detached = false);
    // Stops the scheduler started in the folder (by this object, or detached by another process)
    // and waits until it has gone.
    Status Stop();
    bool Running() const;

    QString Folder() const { return folder_; }
    QString Socket() const { return folder_ + QStringLiteral("/cups.sock"); }
    pid_t Pid() const { return pid_; }

    // Runs one of the printing system's commands (lpadmin, cupsreject, cupsdisable ...) on this
    // scheduler; its output when it fails.
    Status Run(const QString& program, const QStringList& args) const;
    // A queue of the small test printer that prints to /dev/null.
    Status AddQueue(const QString& name, const QString& location = {}) const;
    Status SetDefault(const QString& name) const;
    // The queue keeps every job it takes unprinted.
    Status HoldJobs(const QString& name) const;
    Status DeleteQueue(const QString& name) const;

    // Points this thread's printing-system calls at this scheduler, or back at the one the
    // environment names (none: empty).
    void Use() const;
    static void UseDefault();

    // A job of a queue, any state: its attributes as texts ("job-name", "copies", "media" ...).
    struct Job {
        int id = 0;
        std::map<QString, QString> attributes;
        QString Attribute(const QString& name) const;
    };
    // Every job the scheduler knows of on a queue (all queues when empty), completed ones too.
    std::vector<Job> Jobs(const QString& queue = {}) const;
    // The spooled document of a job, as sent.
    QString DocumentOf(int jobId) const;

private:
    Status WaitUntilAnswering();
    // This object's scheduler, or the one whose process id the folder keeps.
    pid_t KnownPid() const;
    QString ErrorLog() const;

    QString folder_;
    pid_t pid_ = -1;
    bool child_ = false;     // started by this process
    bool attached_ = false;  // stopped with this object
};

}  // namespace tavrin::test
