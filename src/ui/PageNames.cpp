// PageNames: indexed by page number; page 4 has no page.
#include "ui/PageNames.h"

#include <iterator>

const char* pageName(int page)
{
    static const char* const names[] = {"login",
                                        "home",
                                        "options",
                                        "flight information",
                                        "",
                                        "flying",
                                        "checklist",
                                        "report: route",
                                        "report: finances",
                                        "report: penalties",
                                        "wrong version",
                                        "fuel tanks",
                                        "report backup",
                                        "simple fuel",
                                        "load sheet",
                                        "comment",
                                        "download",
                                        "aborted flight",
                                        "divert",
                                        "fuel error"};
    return page >= 0 && page < static_cast<int>(std::size(names)) ? names[page] : "unknown";
}
