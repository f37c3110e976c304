function funcr
%FUNCR  Rayleigh-wave secular function of a vemlari check run.
%   Run FUNCR in the folder where vemlari ran in check mode (answer 1 to
%   "Check Secular Functions & Eigen Vectors?"). It reads
%     scrc_dat   phase velocities c (m/s) of the traced points
%     scrr_dat   real part of the Rayleigh secular function F_R at each c
%     scri_dat   imaginary part of F_R at each c
%     om_dat     the angular frequency of the check (rad/s)
%     mdr_dat, phsr1_dat   the Rayleigh roots found (highest mode index, phase velocities)
%   and plots |F_R| (log scale), Re F_R and Im F_R against phase velocity with
%   the roots marked and numbered by mode. The figure is shown and saved as
%   funcr.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); funcr"
vemlari_secular('funcr', 'r');
end
