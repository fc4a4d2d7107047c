#include "../StoredNamesTable.h"

namespace lp::test {

void AddFunctionNames(std::vector<TStoredNamesRow>& Rows)
{
    (void)Rows;
}

} // namespace lp::test
