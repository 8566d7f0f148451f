// What published soil surveys say a layer of real soil may be, to keep the demonstration
// profiles typical and to report how typical they are.
#pragma once

namespace vantrel::reference_data {

// The dry bulk density (kg/L) at which roots are restricted for a texture, after USDA-NRCS,
// Soil Quality Indicators: Bulk Density (2008), "General relationship of soil bulk density to
// root growth based on soil texture": sands and loamy sands 1.80; sandy loams and loams 1.80;
// sandy clay loams and clay loams 1.75; silts and silt loams 1.75; silty clay loams 1.65;
// sandy clays, silty clays and clay loams with 35-45 % clay 1.58; clays above 45 % clay 1.47.
double root_restricting_density(double sand, double clay);

// The total porosity of a soil of this density (%vol), with a particle density of 2.65 kg/L.
double total_porosity(double density);

}  // namespace vantrel::reference_data
