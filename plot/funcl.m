function funcl
%FUNCL  Love-wave secular function of a vemlari check run.
%   Run FUNCL in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     sclc_dat   phase velocities c (m/s) of the traced points
%     sclr_dat   real part of the Love secular function F_L at each c
%     scli_dat   imaginary part of F_L at each c
%     om_dat     the angular frequency of the check (rad/s)
%     mdl_dat, phsl1_dat   the Love roots found (highest mode index, phase velocities)
%   and plots |F_L| (log scale), Re F_L and Im F_L against phase velocity with
%   the roots marked and numbered by mode. The figure is shown and saved as
%   funcl.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); funcl"
vemlari_secular('funcl', 'l');
end
