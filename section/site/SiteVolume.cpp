#include "section/site/SiteVolume.h"
