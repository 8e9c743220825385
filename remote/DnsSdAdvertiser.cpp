#include "DnsSdAdvertiser.h"

#include <utility>

#ifdef SFP_HAVE_AVAHI
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/thread-watch.h>
#endif

namespace {
[[maybe_unused]] const char kNotBuilt[] = "DNS-SD: built without Avahi support; not advertising";
const char kNoDaemon[] = "DNS-SD: no Avahi daemon reachable (%1); not advertising";
const char kAdvertising[] = "DNS-SD: advertising \"%1\" as %2 on port %3";
const char kFailed[] = "DNS-SD: advertising failed (%1)";
const char kRenamed[] = "DNS-SD: name taken, now \"%1\"";
} // namespace

#ifdef SFP_HAVE_AVAHI

// The Avahi client runs on its own poll thread; its callbacks hold the poll's
// lock, and calls from the Qt side take it.
struct DnsSdAdvertiser::Private {
    DnsSdAdvertiser* q;
    QList<Service> services;
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    AvahiEntryGroup* group = nullptr;
    bool toldNoDaemon = false;

    void say(const QString& line) { emit q->logLine(line); }

    static void clientCallback(AvahiClient* c, AvahiClientState state, void* data) {
        auto* d = static_cast<Private*>(data);
        if (state == AVAHI_CLIENT_S_RUNNING) {
            d->publish(c);
        } else if (state == AVAHI_CLIENT_FAILURE) {
            d->say(QString::fromLatin1(kFailed).arg(avahi_strerror(avahi_client_errno(c))));
        } else if (d->group) { // collision or re-registration: start over when running
            avahi_entry_group_reset(d->group);
        }
    }

    static void groupCallback(AvahiEntryGroup* g, AvahiEntryGroupState state, void* data) {
        auto* d = static_cast<Private*>(data);
        if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
            for (const Service& s : std::as_const(d->services))
                d->say(QString::fromLatin1(kAdvertising)
                           .arg(s.name, QString::fromLatin1(s.type))
                           .arg(s.port));
        } else if (state == AVAHI_ENTRY_GROUP_COLLISION) {
            d->rename();
            d->publish(avahi_entry_group_get_client(g));
        } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
            d->say(QString::fromLatin1(kFailed).arg(
                avahi_strerror(avahi_client_errno(avahi_entry_group_get_client(g)))));
        }
    }

    void rename() {
        for (Service& s : services) {
            char* next = avahi_alternative_service_name(s.name.toUtf8().constData());
            s.name = QString::fromUtf8(next);
            avahi_free(next);
            say(QString::fromLatin1(kRenamed).arg(s.name));
        }
    }

    void publish(AvahiClient* c) {
        if (!group)
            group = avahi_entry_group_new(c, groupCallback, this);
        if (!group)
            return say(QString::fromLatin1(kFailed).arg(avahi_strerror(avahi_client_errno(c))));
        avahi_entry_group_reset(group);
        for (const Service& s : std::as_const(services)) {
            AvahiStringList* txt = nullptr;
            for (const auto& pair : s.txt)
                txt = avahi_string_list_add_pair(txt, pair.first.constData(),
                                                 pair.second.constData());
            const int rc = avahi_entry_group_add_service_strlst(
                group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                s.name.toUtf8().constData(), s.type.constData(), nullptr, nullptr, s.port, txt);
            avahi_string_list_free(txt);
            if (rc == AVAHI_ERR_COLLISION) {
                rename();
                return publish(c);
            }
            if (rc < 0)
                return say(QString::fromLatin1(kFailed).arg(avahi_strerror(rc)));
        }
        if (!services.isEmpty())
            avahi_entry_group_commit(group);
    }

    void stop() {
        if (poll)
            avahi_threaded_poll_stop(poll);
        if (client)
            avahi_client_free(client); // frees the group too
        if (poll)
            avahi_threaded_poll_free(poll);
        poll = nullptr;
        client = nullptr;
        group = nullptr;
    }
};

void DnsSdAdvertiser::start() {
    if (d_->poll)
        return;
    d_->poll = avahi_threaded_poll_new();
    if (!d_->poll)
        return emit logLine(QString::fromLatin1(kFailed).arg(avahi_strerror(AVAHI_ERR_NO_MEMORY)));
    int error = 0;
    d_->client = avahi_client_new(avahi_threaded_poll_get(d_->poll), AvahiClientFlags(0),
                                  Private::clientCallback, d_.get(), &error);
    if (!d_->client) {
        avahi_threaded_poll_free(d_->poll);
        d_->poll = nullptr;
        if (!std::exchange(d_->toldNoDaemon, true))
            emit logLine(QString::fromLatin1(kNoDaemon).arg(avahi_strerror(error)));
        return;
    }
    avahi_threaded_poll_start(d_->poll);
}

void DnsSdAdvertiser::addService(const Service& service) {
    if (!d_->poll) {
        d_->services << service;
        return;
    }
    avahi_threaded_poll_lock(d_->poll);
    d_->services << service;
    if (avahi_client_get_state(d_->client) == AVAHI_CLIENT_S_RUNNING)
        d_->publish(d_->client);
    avahi_threaded_poll_unlock(d_->poll);
}

void DnsSdAdvertiser::stop() {
    d_->stop();
}

bool DnsSdAdvertiser::builtIn() {
    return true;
}

#else // without the client library

struct DnsSdAdvertiser::Private {
    DnsSdAdvertiser* q;
    QList<Service> services;
    bool told = false;
};

void DnsSdAdvertiser::start() {
    if (!d_->told)
        emit logLine(QString::fromLatin1(kNotBuilt));
    d_->told = true;
}

void DnsSdAdvertiser::addService(const Service& service) {
    d_->services << service;
}

void DnsSdAdvertiser::stop() {}

bool DnsSdAdvertiser::builtIn() {
    return false;
}

#endif

DnsSdAdvertiser::DnsSdAdvertiser(QObject* parent)
    : QObject(parent), d_(std::make_unique<Private>()) {
    d_->q = this;
}

DnsSdAdvertiser::~DnsSdAdvertiser() {
    stop();
}
