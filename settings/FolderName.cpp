#include "settings/FolderName.h"

bool staysInsideFolder(const std::string& name) {
    // Separators and colons (drives, "C:name", alternate streams) lead elsewhere. A name made
    // only of dots and spaces is "." or ".." once Windows has trimmed its trailing dots and
    // spaces, so "..", "... " and ". ." all mean the folder itself or its parent.
    if (name.find_first_of("\\/:") != std::string::npos) return false;
    return name.empty() || name.find_first_not_of(". ") != std::string::npos;
}
