// Starts a program and reports how long it took until its first top-level window was mapped,
// and its peak resident memory a little later.
//
//   mapTimer SETTLE_MS PROGRAM [ARGUMENT...]
//
// Prints "<milliseconds from fork to MapNotify> <VmHWM in kB> <CPU milliseconds used until
// MapNotify>" and ends the program with SIGTERM. The CPU time, summed over the program's
// threads, varies far less than the wall time on a busy machine. The clock starts just before fork.
// The helper watches the root window for new children and each new window for its own MapNotify, so
// the time is the X server's event, not a polling interval. A window counts when its _NET_WM_PID is
// the started process: the window manager's frames and other clients' windows never do.
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

long windowPid(xcb_connection_t *c, xcb_window_t window, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    long pid = -1;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pid = *static_cast<uint32_t *>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

bool isViewable(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

long peakRssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

double cpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR *dir = opendir(tasks.c_str())) {
        while (dirent *entry = readdir(dir)) {
            std::ifstream schedstat(tasks + '/' + entry->d_name + "/schedstat");
            double taskNs = 0;
            if (entry->d_name[0] != '.' && schedstat >> taskNs)
                ns += taskNs;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mapTimer SETTLE_MS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const int settleMs = std::atoi(argv[1]);
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "mapTimer: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(c);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        std::perror("mapTimer: exec");
        _exit(127);
    }

    const Clock::time_point deadline = start + std::chrono::seconds(20);
    Clock::time_point mapped{};
    double cpu = 0;
    pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
    while (mapped == Clock::time_point{} && Clock::now() < deadline) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c) || waitpid(pid, nullptr, WNOHANG) == pid)
                break;
            poll(&descriptor, 1, 100);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (created->parent == root && !created->override_redirect) {
                const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(c, created->window, XCB_CW_EVENT_MASK, &mask);
                // Mapped before the mask took effect: the time is late by one round trip.
                if (isViewable(c, created->window) &&
                    windowPid(c, created->window, pidAtom) == pid) {
                    mapped = Clock::now();
                    cpu = cpuMs(pid);
                }
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (map->event == map->window && windowPid(c, map->window, pidAtom) == pid) {
                mapped = Clock::now();
                cpu = cpuMs(pid);
            }
        }
        std::free(event);
    }
    if (mapped == Clock::time_point{}) {
        std::fprintf(stderr, "mapTimer: %s mapped no window\n", argv[2]);
        stop(pid);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long rss = peakRssKb(pid);
    stop(pid);
    xcb_disconnect(c);
    std::printf("%.1f %ld %.1f\n",
                std::chrono::duration<double, std::milli>(mapped - start).count(), rss, cpu);
    return 0;
}
