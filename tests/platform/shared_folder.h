// A folder such as /tmp: sticky and open to everyone (mode 1777), where other users plant
// links and files. Giving what is planted to another user needs root; tests skip without it.
#pragma once

#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace kel::test {

// The user that plants: "nobody" on most systems.
inline constexpr uid_t kOtherUser = 65534;

inline bool CanPlantAsOtherUsers() {
    return geteuid() == 0;
}

inline bool MakeSharedFolder(const std::string& path, uid_t owner, mode_t mode = 01777) {
    return mkdir(path.c_str(), 0700) == 0 && chmod(path.c_str(), mode) == 0 &&
           lchown(path.c_str(), owner, owner) == 0;
}

inline bool PlantLink(const std::string& link, const std::string& pointsTo,
                      uid_t owner = kOtherUser) {
    return symlink(pointsTo.c_str(), link.c_str()) == 0 && lchown(link.c_str(), owner, owner) == 0;
}

} // namespace kel::test
