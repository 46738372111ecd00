#pragma once
// The about page: one picture, dragged by its background, whose spots open
// the maker's pages; the arrow returns to the main window.
#include "shell/framework/Form.h"

namespace velmora {

class Form6 : public Form {
 public:
  explicit Form6(const FormContext& context);

 protected:
  void createControls() override;
  void Form_Load() override;
  void onSystemClose() override { Image5_Click(); }

 private:
  void openInBrowser(const char* address);
  void Image5_Click();
};

}  // namespace velmora
