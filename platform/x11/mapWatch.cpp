#include "platform/x11/mapWatch.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include <map>
#include <string>
#include <utility>

namespace platform
{
namespace
{

class MapWatch : public QAbstractNativeEventFilter
{
public:
    MapWatch() { QCoreApplication::instance()->installNativeEventFilter(this); }

    void set(xcb_window_t window, const char *purpose, std::function<void()> action)
    {
        actions[{window, purpose}] = std::move(action);
    }

    // Every event of the connection passes here, each motion of a drag among them: the name of
    // the event type is compared as a byte array of its own, not character by character.
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *) override
    {
        static const QByteArray xcbEvent = QByteArrayLiteral("xcb_generic_event_t");
        if (eventType != xcbEvent)
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            return false;
        const xcb_window_t mapped = static_cast<const xcb_map_notify_event_t *>(message)->window;
        for (auto it = actions.lower_bound({mapped, std::string()});
             it != actions.end() && it->first.first == mapped; ++it)
            it->second();
        return false;
    }

private:
    std::map<std::pair<xcb_window_t, std::string>, std::function<void()>> actions;
};

} // namespace

void doWhenMapped(xcb_window_t window, const char *purpose, std::function<void()> action)
{
    static MapWatch watch;
    watch.set(window, purpose, std::move(action));
}

} // namespace platform
