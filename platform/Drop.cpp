#include "Drop.h"

#include "Forms.h"
#include "ShellApi.h"
#include "Widgets.h"

#include <cstring>

struct HDROP__ {
    std::vector<std::string> paths;
};

HDROP NewDrop(std::vector<std::string> paths)
{
    return new HDROP__{std::move(paths)};
}

void DragAcceptFiles(HWND window, BOOL accept)
{
    if (TForm* form = TForm::FromHandle(window))
        static_cast<FormWidget*>(form->Widget())->SetAcceptFileDrops(accept != FALSE);
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size)
{
    if (!drop)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(drop->paths.size());
    if (index >= drop->paths.size())
        return 0;
    const std::string& path = drop->paths[index];
    if (!buffer)
        return static_cast<UINT>(path.size());
    if (size == 0)
        return 0;
    const size_t n = std::min<size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
}

void DragFinish(HDROP drop)
{
    delete drop;
}
