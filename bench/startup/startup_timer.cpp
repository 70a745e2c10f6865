// SPDX-License-Identifier: GPL-3.0-or-later
// startup_timer [--painted] TITLE PROGRAM [ARGS...]
// Starts PROGRAM and prints, on one line, the milliseconds from just before
// the start until the X server maps a window titled exactly TITLE (with
// --painted: until the program first draws into it), the program's peak
// resident memory by then in KiB and the processor time its threads used by
// then in milliseconds; then ends the program. Listening for the event itself
// avoids the delay of polling for the window, and the program is stopped at
// once so that nothing it does later is counted.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::string WindowTitle(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(connection, cookie, nullptr), &std::free);
  if (!reply) return {};
  const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// VmHWM from /proc/PID/status: the most resident memory the process has had.
long PeakKib(pid_t process) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool untilPainted = argc > 1 && std::strcmp(argv[1], "--painted") == 0;
  const int options = untilPainted ? 1 : 0;
  char** const arguments = argv + options;
  if (argc - options < 3) {
    std::fprintf(stderr, "usage: %s [--painted] TITLE PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const std::string title = arguments[1];

  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection) != 0) {
    std::fprintf(stderr, "cannot open the X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t netWmName = Atom(connection, "_NET_WM_NAME");
  // Drawing is seen through the DAMAGE extension: each top-level window is
  // watched from its creation, long before anything can be drawn into it. A
  // window's background is not drawing: Qt gives its windows none.
  std::uint8_t damageNotify = 0;
  if (untilPainted) {
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (damage == nullptr || damage->present == 0) {
      std::fprintf(stderr, "the X server has no DAMAGE extension\n");
      return 2;
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    damageNotify = static_cast<std::uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
  }
  xcb_flush(connection);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(arguments[2], arguments + 2);
    _exit(127);
  }

  double elapsedMs = -1;
  pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
  while (elapsedMs < 0) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
      const auto seen = std::chrono::steady_clock::now();
      const std::uint8_t type = event->response_type & 0x7f;
      xcb_window_t window = XCB_NONE;
      if (untilPainted && type == XCB_CREATE_NOTIFY) {
        const xcb_window_t created = reinterpret_cast<xcb_create_notify_event_t*>(event)->window;
        xcb_damage_create(connection, xcb_generate_id(connection), created, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(connection);
      } else if (untilPainted && type == damageNotify) {
        window = reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable;
      } else if (!untilPainted && type == XCB_MAP_NOTIFY) {
        window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
      }
      if (window != XCB_NONE && (WindowTitle(connection, window, netWmName) == title ||
                                 WindowTitle(connection, window, XCB_ATOM_WM_NAME) == title)) {
        kill(child, SIGSTOP);
        elapsedMs = std::chrono::duration<double, std::milli>(seen - start).count();
      }
      std::free(event);
    }
    if (elapsedMs >= 0) break;
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "%s ended before showing \"%s\"\n", arguments[2], title.c_str());
      return 1;
    }
    if (poll(&fd, 1, 30000) == 0) {
      std::fprintf(stderr, "no window \"%s\" within 30 s\n", title.c_str());
      kill(child, SIGKILL);
      return 1;
    }
  }

  waitpid(child, nullptr, WUNTRACED);
  const long peakKib = PeakKib(child);
  // Killed while stopped: its usage is what it had used by the map, in all
  // its threads, ended ones included.
  kill(child, SIGKILL);
  rusage usage{};
  wait4(child, nullptr, 0, &usage);
  const auto ms = [](const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
  };
  const double processorMs = ms(usage.ru_utime) + ms(usage.ru_stime);
  xcb_disconnect(connection);
  std::printf("%.1f %ld %.1f\n", elapsedMs, peakKib, processorMs);
  return 0;
}
