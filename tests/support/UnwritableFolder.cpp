#include "support/UnwritableFolder.h"

#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

__user_cap_header_struct CapabilityHeader() {
    return {_LINUX_CAPABILITY_VERSION_3, 0};
}

} // namespace

UnwritableFolder::UnwritableFolder(std::filesystem::path folder) : Folder(std::move(folder)) {
    std::filesystem::permissions(Folder,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    __user_cap_header_struct header = CapabilityHeader();
    if (::syscall(SYS_capget, &header, Capabilities) != 0)
        return;
    constexpr std::uint32_t overrideBit = 1u << CAP_DAC_OVERRIDE;
    if ((Capabilities[0].effective & overrideBit) == 0)
        return;
    __user_cap_data_struct without[2] = {Capabilities[0], Capabilities[1]};
    without[0].effective &= ~overrideBit;
    RestoreCapabilities = ::syscall(SYS_capset, &header, without) == 0;
}

UnwritableFolder::~UnwritableFolder() {
    if (RestoreCapabilities) {
        __user_cap_header_struct header = CapabilityHeader();
        ::syscall(SYS_capset, &header, Capabilities);
    }
    std::filesystem::permissions(Folder, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

bool UnwritableFolder::Refuses() const {
    const std::filesystem::path probe = Folder / "probe-for-writing";
    std::FILE* file = std::fopen(probe.c_str(), "wbx");
    if (file == nullptr)
        return true;
    std::fclose(file);
    std::filesystem::remove(probe);
    return false;
}

void DropPermissionOverrideInChild() {
    // Gone from the bounding set, the right is not given back when the program starts.
    ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
}
