#pragma once
// The widget library's resource manager reading the staged bundle of the
// build (its skin and its linked default font), with a log sink that
// collects every style message.
#include "BAS/Region.h"
#include "TOV/Lib.h"
#include "TOV/ManagerContainer.h"
#include "TOV/StyleSheetErrorsLogSource.h"
#include "TOV/StyleSheetManager.h"
#include "tov/tests/StagedBundle.h"

#include <boost/filesystem/path.hpp>
#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace CV::test {

using Lines = std::vector<std::string>;

inline const char* const kStyleSheetName = "FirmwareUpdaterStyles.txt";

class SkinFixture : public testing::Test {
protected:
    SkinFixture()
    {
        BAS::Region::init();
        TOV::ManagerContainer::tLocations where;
        where.bundlePath = [] { return boost::filesystem::path(VARANTO_BUNDLE_DIR); };
        where.currentDirectory = [](BAS::FileName&) { return false; };
        where.bundle = m_bundle.handle();
        TOV::Lib::setSearchSkinDirectory(false);
        TOV::Lib::s_managerContainer = std::make_unique<TOV::ManagerContainer>(where);
        TOV::StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { log.push_back(line); });
    }
    ~SkinFixture() override
    {
        TOV::StyleSheetErrorsLogSource::m_logSinks.pop_back();
        TOV::Lib::s_managerContainer.reset();
        BAS::Region::deInit();
    }

    TOV::ManagerContainer& container() const { return *TOV::Lib::s_managerContainer; }

    // Loads the updater's sheet as the default sheet, as the application does.
    TOV::StyleSheet const& loadShippedSheet()
    {
        TOV::StyleSheetManager& manager = container().getStyleSheetManager();
        manager.loadDefault(kStyleSheetName);
        return manager.getDefaultSheet();
    }

    Lines log;

private:
    TOV::TEST::StagedBundle m_bundle;
};

} // namespace CV::test
