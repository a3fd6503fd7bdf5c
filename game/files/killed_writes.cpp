#include "files/killed_writes.h"

#include "platform/file_ops.h"
#include "platform/folder_entries.h"

int removeKilledWrites()
{
    int removed = 0;
    for (const char* folder : {"", "cars", "drivers", "saves", "screens", "zip", "tracks"})
        removed += removeStaleTemporaries(folder);
    for (const FolderEntry& e : listGameFolder("tracks\\*"))
        if (e.isFolder) removed += removeStaleTemporaries("tracks\\" + e.name);
    return removed;
}
