#include "../StoredNamesTable.h"

namespace lp::test {

void AddExtendedSeriesNames(std::vector<TStoredNamesRow>& Rows)
{
    (void)Rows;
}

} // namespace lp::test
