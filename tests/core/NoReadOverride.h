#pragma once

// Tests of unreadable files and folders also run as root: root reads everything through its
// capabilities CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH, so these are taken away for a while
// (from the calling thread, and from threads it starts meanwhile), or for good in a child
// process before it runs its program.
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

class NoReadOverride {
public:
    NoReadOverride() {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~(readBits());
        m_changed = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~NoReadOverride() {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }
    NoReadOverride(const NoReadOverride &) = delete;
    NoReadOverride &operator=(const NoReadOverride &) = delete;

    // For a child process, between fork and exec: the program it runs never gets them.
    static void dropForGood() {
        prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
        prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    }

private:
    static unsigned readBits() { return (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH); }
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_changed = false;
};
