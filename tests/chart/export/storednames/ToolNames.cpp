#include "../StoredNamesTable.h"

namespace lp::test {

void AddToolNames(std::vector<TStoredNamesRow>& Rows)
{
    (void)Rows;
}

} // namespace lp::test
