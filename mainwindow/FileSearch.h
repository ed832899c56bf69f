// The search dialog: selects the recording nearest a date and time.
#pragma once

#include "platform/vcl/vcl.h"

class TFormSearch : public TForm {
public:
    explicit TFormSearch(TComponent* Owner);
    ~TFormSearch() override;
};

extern TFormSearch* FormSearch;
