/* How one desktop program starts, seen from the X server:
 *   firstpaint [-t TIMEOUT_S] [-H HOLD_MS] TITLE COMMAND [ARG...]
 * runs COMMAND and prints one line of key=value pairs, times in ms from just before the fork:
 *   map_ms    the top-level window titled TITLE was mapped
 *   paint_ms  first paint: the first drawing into that mapped window after which it holds two
 *             colours or more, i.e. more than a background
 *   rss_kb, hwm_kb, anon_kb  resident, peak resident and anonymous resident memory (VmRSS,
 *             VmHWM, RssAnon) of the window's process HOLD_MS after the paint (default 1000),
 *             in 4 KB pages: the process gets no transparent huge pages
 *   cpu_ms    CPU time that COMMAND's process had used by then, all its threads: less
 *             swayed by a busy machine than the times above
 *   pid, child  the window's process (_NET_WM_PID) and the process forked for COMMAND
 * Every drawing request reaches the X server, so one damage object per new top-level window
 * tells when to look at its pixels; the pixels themselves say whether it was a real paint.
 * Then the window is asked to close; after 3 s its process and COMMAND are killed.
 * ok=0 when no such window painted within TIMEOUT_S (default 30). Exit status 0 when ok. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_WINDOWS 512

struct top {
  Window window;
  Damage damage;
  int mapped, titled;
};

static struct top tops[MAX_WINDOWS];
static int ntops;
static double start;

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6 - start;
}

/* Windows come and go while they are looked at: errors about them are expected. */
static int ignore_error(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

static struct top* find(Window window) {
  for (int i = 0; i < ntops; i++)
    if (tops[i].window == window) return &tops[i];
  return NULL;
}

static int has_title(Display* display, Window window, const char* title) {
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type;
  int format, same = 0;
  unsigned long count, after;
  unsigned char* name = NULL;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 256,
                         False, utf8, &type, &format, &count, &after, &name) == Success &&
      name) {
    same = strcmp((char*)name, title) == 0;
    XFree(name);
    if (same) return 1;
  }
  char* old = NULL;
  if (XFetchName(display, window, &old) && old) {
    same = strcmp(old, title) == 0;
    XFree(old);
  }
  return same;
}

/* Two colours or more in the window's pixels as the server holds them. */
static int painted(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
    return 0;
  XImage* image =
      XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (!image) return 0;
  const unsigned long first = XGetPixel(image, 0, 0);
  int mixed = 0;
  for (int y = 0; y < image->height && !mixed; y++)
    for (int x = 0; x < image->width && !mixed; x++) mixed = XGetPixel(image, x, y) != first;
  XDestroyImage(image);
  return mixed;
}

static pid_t window_pid(Display* display, Window window) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = NULL;
  pid_t pid = -1;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      data) {
    if (count == 1 && format == 32) pid = (pid_t) * (unsigned long*)data;
    XFree(data);
  }
  return pid;
}

static long status_kb(pid_t pid, const char* field) {
  char path[64], line[256];
  snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
  FILE* file = fopen(path, "r");
  long kb = -1;
  const size_t length = strlen(field);
  while (file && fgets(line, sizeof line, file))
    if (strncmp(line, field, length) == 0 && line[length] == ':') kb = atol(line + length + 1);
  if (file) fclose(file);
  return kb;
}

/* The CPU time of all threads of the process so far (schedstat: ns on the CPU). */
static double cpu_ms(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
  DIR* tasks = opendir(path);
  double ns = 0;
  struct dirent* task;
  while (tasks && (task = readdir(tasks))) {
    if (task->d_name[0] == '.') continue;
    char file[400];
    snprintf(file, sizeof file, "%s/%s/schedstat", path, task->d_name);
    FILE* stat = fopen(file, "r");
    unsigned long long on_cpu = 0;
    if (stat && fscanf(stat, "%llu", &on_cpu) == 1) ns += (double)on_cpu;
    if (stat) fclose(stat);
  }
  if (tasks) closedir(tasks);
  return ns / 1e6;
}

/* Waits for the forked command for up to `ms`; true once it has ended. */
static int reaped(pid_t child, int* status, int ms) {
  for (int waited = 0;; waited += 10) {
    const pid_t done = waitpid(child, status, WNOHANG);
    if (done == child || (done < 0 && errno == ECHILD)) return 1;
    if (waited >= ms) return 0;
    poll(NULL, 0, 10);
  }
}

static void close_window(Display* display, Window window) {
  XEvent close = {0};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &close);
  XFlush(display);
}

int main(int argc, char** argv) {
  double timeout_ms = 30000, hold_ms = 1000;
  int option;
  while ((option = getopt(argc, argv, "+t:H:")) != -1) {
    if (option == 't')
      timeout_ms = atof(optarg) * 1000;
    else if (option == 'H')
      hold_ms = atof(optarg);
    else
      return 2;
  }
  if (argc - optind < 2) {
    fprintf(stderr, "usage: firstpaint [-t TIMEOUT_S] [-H HOLD_MS] TITLE COMMAND [ARG...]\n");
    return 2;
  }
  const char* title = argv[optind];
  char** command = argv + optind + 1;

  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "firstpaint: no X display\n");
    return 2;
  }
  int damage_event, damage_error;
  if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
    fprintf(stderr, "firstpaint: the X server has no DAMAGE extension\n");
    return 2;
  }
  XSetErrorHandler(ignore_error);
  const Window root = DefaultRootWindow(display);
  /* Selected before the fork, so that no window of the command is missed. */
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  start = t.tv_sec * 1e3 + t.tv_nsec / 1e6;
  const pid_t child = fork();
  if (child == 0) {
    close(ConnectionNumber(display));
    /* Memory in 4 KB pages: with huge pages, a file that one program happens to map at a 2 MB
     * boundary would count 2 MB resident at a stroke (a shared page-cache folio, mapped whole). */
    prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
    execvp(command[0], command);
    _exit(127);
  }

  Window target = 0;
  double map_ms = -1, paint_ms = -1, cpu = -1;
  int status = 0, ended = 0;
  struct pollfd x = {ConnectionNumber(display), POLLIN, 0};
  while (paint_ms < 0 && now_ms() < timeout_ms && !ended) {
    if (!XPending(display)) {
      poll(&x, 1, 50);
      ended = waitpid(child, &status, WNOHANG) == child;
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    Window window = 0;
    int look = 0;
    if (event.type == CreateNotify && event.xcreatewindow.parent == root && ntops < MAX_WINDOWS) {
      window = event.xcreatewindow.window;
      XSelectInput(display, window, StructureNotifyMask | PropertyChangeMask);
      XWindowAttributes attributes;
      const int shown =
          XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped;
      tops[ntops++] = (struct top){window, XDamageCreate(display, window, XDamageReportNonEmpty),
                                   shown, has_title(display, window, title)};
      look = 1;
    } else if (event.type == MapNotify) {
      window = event.xmap.window;
      if (find(window)) find(window)->mapped = 1;
      look = 1;
    } else if (event.type == PropertyNotify) {
      window = event.xproperty.window;
      if (find(window) && !find(window)->titled)
        look = find(window)->titled = has_title(display, window, title);
    } else if (event.type == damage_event + XDamageNotify) {
      window = ((XDamageNotifyEvent*)&event)->drawable;
      XDamageSubtract(display, ((XDamageNotifyEvent*)&event)->damage, None, None);
      look = 1;
    }
    struct top* top = window ? find(window) : NULL;
    if (!look || !top || !top->titled || !top->mapped) continue;
    if (!target) {
      target = window;
      map_ms = now_ms();
    }
    if (window == target && painted(display, window)) {
      paint_ms = now_ms();
      cpu = cpu_ms(child);
    }
  }

  long rss_kb = -1, hwm_kb = -1, anon_kb = -1;
  pid_t pid = -1;
  if (paint_ms >= 0) {
    pid = window_pid(display, target);
    if (pid <= 0) pid = child;
    poll(NULL, 0, (int)hold_ms);
    rss_kb = status_kb(pid, "VmRSS");
    hwm_kb = status_kb(pid, "VmHWM");
    anon_kb = status_kb(pid, "RssAnon");
    close_window(display, target);
  }
  if (!ended && !reaped(child, &status, 3000)) {
    if (pid > 0 && pid != child) kill(pid, SIGKILL);
    kill(child, SIGKILL);
    reaped(child, &status, 3000);
  }
  if (pid > 0 && pid != child) kill(pid, SIGKILL);
  printf(
      "ok=%d map_ms=%.1f paint_ms=%.1f cpu_ms=%.1f rss_kb=%ld hwm_kb=%ld anon_kb=%ld pid=%d "
      "child=%d\n",
      paint_ms >= 0, map_ms, paint_ms, cpu, rss_kb, hwm_kb, anon_kb, (int)pid, (int)child);
  XCloseDisplay(display);
  return paint_ms >= 0 ? 0 : 1;
}
