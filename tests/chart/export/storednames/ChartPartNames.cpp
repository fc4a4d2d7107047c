#include "../StoredNamesTable.h"

namespace lp::test {

void AddChartPartNames(std::vector<TStoredNamesRow>& Rows)
{
    (void)Rows;
}

} // namespace lp::test
