#include "../StoredNamesTable.h"

namespace lp::test {

void AddStandardSeriesNames(std::vector<TStoredNamesRow>& Rows)
{
    (void)Rows;
}

} // namespace lp::test
