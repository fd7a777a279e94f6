// The write steps of Escritas.h, for the file modules of this folder
// (never above it): each shows itself to the test's observer and to the
// pause points, then calls the system; a failure concerns the step's file
// (the new name, for a rename or a link).
#ifndef PAUTA_PASSOS_H
#define PAUTA_PASSOS_H

#include <cstdint>
#include <string>
#include <string_view>

#include "Escritas.h"
#include "Estado.h"
#include "Sistema.h"

namespace escrita {

using sistema::Descritor;

Estado criaNovo(const std::string& nome, const sistema::Dono& dono, Descritor* d);
Estado criaExclusivo(const std::string& nome, Descritor* d);
// Opens the file `nome` for appending (Sistema.h: abreAcrescentar), the
// creation (`criar`) a step.
Estado abreAcrescentar(const std::string& nome, bool criar, Descritor* d, std::uint64_t* tamanho);
Estado escreve(Descritor d, const std::string& nome, std::string_view dados);
Estado acrescenta(Descritor d, const std::string& nome, std::string_view dados);
Estado descarrega(Descritor d, const std::string& nome);
Estado corta(Descritor d, const std::string& nome, std::uint64_t tamanho);
Estado renomeia(const std::string& de, const std::string& para);
Estado moveSeLivre(const std::string& de, const std::string& para);
Estado liga(const std::string& de, const std::string& para);
Estado remove(const std::string& nome);
void descarregaPasta(const std::string& pasta);
// The first try of the section's lock (Sistema.h: tentaTrancar).
Estado tranca(Descritor d, const std::string& nome, bool* obtida);

}  // namespace escrita

#endif
