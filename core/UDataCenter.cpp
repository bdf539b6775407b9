#include "UDataCenter.h"

DataCenter& UDataCenter() {
    static DataCenter center;
    return center;
}

void LoadSettings(const QString& path) {
    DataCenter& dc = UDataCenter();
    dc.settings = ReadSettingsFile(path);
    dc.record.params = dc.settings.params;
    dc.record.strTestUser = dc.settings.strTestUser;
    dc.record.strTestAdd = dc.settings.strTestAdd;
}

bool SaveSettings(const QString& path, QString* error) {
    DataCenter& dc = UDataCenter();
    dc.settings.params = dc.record.params;
    dc.settings.strTestUser = dc.record.strTestUser;
    dc.settings.strTestAdd = dc.record.strTestAdd;
    return WriteSettingsFile(path, dc.settings, error);
}
