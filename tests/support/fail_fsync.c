/* A disk that refuses to sync, for the save tests: preloaded, it makes
   fsync() and fdatasync() fail with EIO for any open file or folder whose
   path ends with $FAIL_FSYNC_SUFFIX (read at each call, so a test can
   choose the victim as it goes); every other call goes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int refused(int fd) {
    const char *suffix = getenv("FAIL_FSYNC_SUFFIX");
    if (!suffix || !*suffix)
        return 0;
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 0)
        return 0;
    path[n] = '\0';
    const size_t length = strlen(suffix);
    return (size_t)n >= length && strcmp(path + n - length, suffix) == 0;
}

int fsync(int fd) {
    if (refused(fd)) {
        errno = EIO;
        return -1;
    }
    int (*next)(int);
    void *real = dlsym(RTLD_NEXT, "fsync");
    memcpy(&next, &real, sizeof real);  /* a cast would be undefined in ISO C */
    return next(fd);
}

int fdatasync(int fd) {
    if (refused(fd)) {
        errno = EIO;
        return -1;
    }
    int (*next)(int);
    void *real = dlsym(RTLD_NEXT, "fdatasync");
    memcpy(&next, &real, sizeof real);  /* a cast would be undefined in ISO C */
    return next(fd);
}
